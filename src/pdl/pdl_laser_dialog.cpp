// Dialog 129 in Qt Widgets. The list keeps no text of its own: the model
// answers every cell from the module-level shown rows, so an applied or
// edited value is shown in the FormatPdlValue form at once.
#include "pdl/pdl_laser_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "frame/cutting_conditions.h"
#include "frame/gui_qt.h"
#include "frame/resources.h"
#include "frame/setting_values.h"
#include "pdl/pdl_files.h"
#include "pdl/pdl_machine.h"

namespace quillet::pdl {

namespace {

QString Text(std::string_view key) {
    const std::string_view text = frame::ResourceText(key);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString ValueText(float value) { return QString::fromStdString(FormatPdlValue(value)); }

float AtofOf(const QString& text, qsizetype maxBytes = -1) {
    QByteArray bytes = text.toUtf8();
    if (maxBytes >= 0) bytes.truncate(maxBytes);
    return static_cast<float>(frame::CLocaleAtof(bytes.constData()));
}

// Runs a file operation inside the dialog, where nothing may be thrown into
// Qt's event loop: true when it gave 0.
template <typename Operation>
bool NoThrow(Operation&& operation) {
    try {
        return operation() == 0;
    } catch (...) {
        return false;
    }
}

// Control ids of the table boxes: 1033 (K) to 1045 (P103).
constexpr int kFirstTableBoxId = 1033;
constexpr int kValueColumnWidth = 79;
constexpr int kLabelColumnWidth = 220;
// The value box is read through a 50-byte buffer.
constexpr qsizetype kValueBoxBytes = 49;

}  // namespace

// ---------------------------------------------------------------- model

int CPdlParamModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : PdlShownParams().count;
}

int CPdlParamModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant CPdlParamModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return QVariant();
    const PdlParamRow& row = PdlShownParams().rows[index.row()];
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        if (index.column() == 0) return ValueText(row.value);
        if (index.column() == 1) return QString::fromStdString(row.label);
    }
    return QVariant();
}

QVariant CPdlParamModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    if (section == 0) return Text("129.column.value");
    if (section == 1) return Text("129.column.condition");
    return QVariant();
}

Qt::ItemFlags CPdlParamModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0) flags |= Qt::ItemIsEditable;
    return flags;
}

bool CPdlParamModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= rowCount() || index.column() != 0 ||
        role != Qt::EditRole) {
        return false;
    }
    // Any text is taken as atof takes it: no number gives 0.
    PdlShownParams().rows[index.row()].value = AtofOf(value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    emit ValueEdited(index.row());
    return true;
}

void CPdlParamModel::Reload() {
    beginResetModel();
    endResetModel();
}

void CPdlParamModel::RowChanged(int row) {
    if (row < 0 || row >= rowCount()) return;
    emit dataChanged(index(row, 0), index(row, 1), {Qt::DisplayRole, Qt::EditRole});
}

// ---------------------------------------------------------------- dialog

CPdlLaserCondDlg::CPdlLaserCondDlg(std::string machineName, int machineId, std::string materialName,
                                   int tableIndex, QWidget* parent)
    : QDialog(parent),
      machineName_(std::move(machineName)),
      machineId_(machineId),
      materialName_(std::move(materialName)),
      tableIndex_(tableIndex) {
    setObjectName(QStringLiteral("129"));
    setWindowTitle(Text("129.title"));
    BuildControls();
}

void CPdlLaserCondDlg::BuildControls() {
    auto readOnlyEdit = [this](const char* id) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(id));
        edit->setReadOnly(true);
        return edit;
    };
    machineEdit_ = readOnlyEdit("1011");
    materialEdit_ = readOnlyEdit("1012");
    conditionEdit_ = readOnlyEdit("1013");

    auto* names = new QGridLayout;
    names->addWidget(new QLabel(Text("129.label.machine"), this), 0, 0);
    names->addWidget(machineEdit_, 0, 1);
    names->addWidget(new QLabel(Text("129.label.material"), this), 1, 0);
    names->addWidget(materialEdit_, 1, 1);
    names->addWidget(new QLabel(Text("129.label.condition"), this), 2, 0);
    names->addWidget(conditionEdit_, 2, 1);

    // The parameter list: value in column 0, label in column 1, the label
    // shown on the left; in-place editing edits column 0.
    list_ = new QTableView(this);
    list_->setObjectName(QStringLiteral("1028"));
    model_ = new CPdlParamModel(list_);
    list_->setModel(model_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setShowGrid(true);
    list_->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::DoubleClicked);
    list_->verticalHeader()->hide();
    list_->setFocusPolicy(Qt::StrongFocus);
    QHeaderView* header = list_->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setStretchLastSection(false);
    header->moveSection(1, 0);
    list_->setColumnWidth(0, kValueColumnWidth);
    list_->setColumnWidth(1, kLabelColumnWidth);
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    list_->setMinimumSize(kValueColumnWidth + kLabelColumnWidth + 24, 280);
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { ItemChanged(current.row()); });
    connect(model_, &CPdlParamModel::ValueEdited, this, [this] { InPlaceEditEnded(); });

    // Value group: the value box and the apply button (the default button).
    valueEdit_ = new QLineEdit(this);
    valueEdit_->setObjectName(QStringLiteral("1000"));
    applyButton_ = new QPushButton(Text("129.1001"), this);
    applyButton_->setObjectName(QStringLiteral("1001"));
    applyButton_->setDefault(true);
    connect(applyButton_, &QPushButton::clicked, this, [this] { ApplyValueBox(); });
    auto* valueGroup = new QGroupBox(Text("129.group.value"), this);
    auto* valueLayout = new QHBoxLayout(valueGroup);
    valueLayout->addWidget(new QLabel(Text("129.label.value"), valueGroup));
    valueLayout->addWidget(valueEdit_);
    valueLayout->addWidget(applyButton_);

    description_ = new QLabel(this);
    description_->setObjectName(QStringLiteral("1047"));
    description_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    description_->setMinimumHeight(120);
    auto* descriptionGroup = new QGroupBox(Text("129.group.description"), this);
    auto* descriptionLayout = new QVBoxLayout(descriptionGroup);
    descriptionLayout->addWidget(description_);

    // Save options: the switch heads the group, the table boxes in columns
    // K L M / H U U1 / U2 U3 U4 / U5 and P101 P102 P103.
    auto* optionsGroup = new QGroupBox(this);
    auto* optionsLayout = new QGridLayout(optionsGroup);
    saveSwitch_ = new QCheckBox(Text("129.1046"), optionsGroup);
    saveSwitch_->setObjectName(QStringLiteral("1046"));
    optionsLayout->addWidget(saveSwitch_, 0, 0, 1, 5);
    optionsLayout->addWidget(new QLabel(Text("129.saveopt.line1"), optionsGroup), 1, 0, 1, 5);
    optionsLayout->addWidget(new QLabel(Text("129.saveopt.line2"), optionsGroup), 2, 0, 1, 5);
    for (int k = 0; k < kPdlTableCount; ++k) {
        auto* box = new QCheckBox(
            QString::fromLatin1(frame::kCuttingConditionNames[k].data(),
                                static_cast<qsizetype>(frame::kCuttingConditionNames[k].size())),
            optionsGroup);
        box->setObjectName(QString::number(kFirstTableBoxId + k));
        tableBoxes_[k] = box;
        // P101 to P103 share the places of the first column group.
        const int column = k < 10 ? k / 3 : 4;
        const int row = k < 10 ? k % 3 : k - 10;
        optionsLayout->addWidget(box, 3 + row, column);
    }
    connect(saveSwitch_, &QCheckBox::toggled, this, [this] { UpdatePdlSaveOptionBoxes(); });

    auto* okButton = new QPushButton(Text("129.1"), this);
    okButton->setObjectName(QStringLiteral("1"));
    okButton->setAutoDefault(false);
    connect(okButton, &QPushButton::clicked, this, [this] { Save(); });
    auto* cancelButton = new QPushButton(Text("129.2"), this);
    cancelButton->setObjectName(QStringLiteral("2"));
    cancelButton->setAutoDefault(false);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    applyButton_->setAutoDefault(false);

    auto* left = new QVBoxLayout;
    left->addLayout(names);
    left->addWidget(list_, 1);
    left->addWidget(optionsGroup);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* right = new QVBoxLayout;
    right->addWidget(valueGroup);
    right->addWidget(descriptionGroup, 1);
    right->addLayout(buttons);
    auto* top = new QHBoxLayout(this);
    top->addLayout(left, 1);
    top->addLayout(right);
}

void CPdlLaserCondDlg::Initialize() {
    result_ = 0;
    currentRow_ = 0;
    machineEdit_->setText(QString::fromStdString(machineName_));
    materialEdit_->setText(QString::fromStdString(materialName_));
    const std::string_view tableName = frame::kCuttingConditionNames[tableIndex_];
    conditionEdit_->setText(
        QString::fromLatin1(tableName.data(), static_cast<qsizetype>(tableName.size())));

    PdlSaveOptions options;
    if (NoThrow([&] { return LoadPdlSaveOptions(options); })) SetSaveOptionBoxes(options);
    UpdatePdlSaveOptionBoxes();

    PdlCutCondition record;
    if (!NoThrow(
            [&] { return ReadPdlCutTable(machineName_, materialName_, tableIndex_, record); })) {
        result_ = -1;
        PdlShownParams().count = 0;
    } else {
        tableLoaded_ = true;
        if (!NoThrow([&] { return LoadMachineParamList(machineId_, tableIndex_, record); })) {
            result_ = -1;
            PdlShownParams().count = 0;
        }
    }
    model_->Reload();
}

void CPdlLaserCondDlg::ItemChanged(int row) {
    if (row < 0 || row >= kPdlSlotCount) return;
    currentRow_ = row;
    const PdlParamRow& current = PdlShownParams().rows[row];
    valueEdit_->setText(ValueText(current.value));
    const std::string_view text = frame::ResourceString(kPdlDescriptionStringBase + current.slot);
    description_->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void CPdlLaserCondDlg::ApplyValueBox() {
    PdlShownParams().rows[currentRow_].value = AtofOf(valueEdit_->text(), kValueBoxBytes);
    model_->RowChanged(currentRow_);
    list_->setFocus();
}

void CPdlLaserCondDlg::InPlaceEditEnded() {
    valueEdit_->setText(ValueText(PdlShownParams().rows[currentRow_].value));
}

void CPdlLaserCondDlg::SetSaveOptionBoxes(const PdlSaveOptions& options) {
    // The switch counts as on in any state but 0, a table only when exactly 1,
    // so the boxes show what a save will do.
    saveSwitch_->setChecked(options.saveSwitch != 0);
    for (int k = 0; k < kPdlTableCount; ++k) tableBoxes_[k]->setChecked(options.tables[k] == 1);
}

PdlSaveOptions CPdlLaserCondDlg::SaveOptionsFromBoxes() const {
    PdlSaveOptions options;
    options.saveSwitch = saveSwitch_->isChecked() ? 1 : 0;
    for (int k = 0; k < kPdlTableCount; ++k)
        options.tables[k] = tableBoxes_[k]->isChecked() ? 1 : 0;
    return options;
}

void CPdlLaserCondDlg::UpdatePdlSaveOptionBoxes() {
    const int saveSwitch = saveSwitch_->isChecked() ? 1 : 0;
    for (int k = 0; k < kPdlTableCount; ++k) {
        tableBoxes_[k]->setVisible(PdlSaveOptionBoxShown(saveSwitch, tableIndex_, k));
    }
}

void CPdlLaserCondDlg::Save() {
    result_ = 0;
    auto& all = PdlAllParams();
    const PdlShownParamRows& shown = PdlShownParams();
    for (int i = 0; i < shown.count; ++i) all[shown.rows[i].slot].value = shown.rows[i].value;
    PdlCutCondition record;
    for (int slot = 0; slot < kPdlSlotCount; ++slot) record.slot[slot] = all[slot].value;

    // Rows that were never read for this table (the opening failed) belong to
    // an earlier dialog: writing them would put another table's values here.
    const PdlSaveOptions options = SaveOptionsFromBoxes();
    const bool written = tableLoaded_ && NoThrow([&] {
                             return WritePdlCutTables(machineName_, materialName_, record,
                                                      PdlSaveTargets(tableIndex_, options));
                         });
    if (!written) {
        result_ = -1;
        done(QDialog::Accepted);
        return;
    }
    NoThrow([&] { return SavePdlSaveOptions(options); });
    done(QDialog::Accepted);
}

// ---------------------------------------------------------------- export

int RunPdlLaserCondDialog(const char* machineName, int machineType, const char* materialName,
                          int tableIndex) {
    if (!IsValidPdlName(machineName) || !IsValidPdlName(materialName) || !IsPdlTable(tableIndex) ||
        machineType < 12000 || machineType >= 13999) {
        return -2;
    }
    if (!frame::EnsureApplication()) return -1;
    const int machineId = PdlMachineTypeGet(machineType);
    CPdlLaserCondDlg dialog(machineName, machineId, materialName, tableIndex);
    dialog.Initialize();
    dialog.exec();
    return dialog.Result();
}

}  // namespace quillet::pdl
