// Dialog 129 in Qt Widgets, a thin view of PdlLaserEdit. The list keeps no
// text of its own: the model answers every cell from the edit's shown rows,
// so an applied or edited value is shown in the FormatPdlValue form at once.
#include "pdl/pdl_laser_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionFrame>
#include <QVBoxLayout>
#include <algorithm>

#include "frame/cutting_conditions.h"
#include "frame/gui_qt.h"
#include "frame/module.h"
#include "frame/resources.h"
#include "pdl/pdl_files.h"
#include "pdl/pdl_machine.h"
#include "platform/code_page.h"

namespace quillet::pdl {

namespace {

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Text(std::string_view key) { return Utf8(frame::ResourceText(key)); }

// Control ids of the table boxes: 1033 (K) to 1045 (P103).
constexpr int kFirstTableBoxId = 1033;
// The list's column widths; a column widens to what it must show.
constexpr int kValueColumnWidth = 79;
constexpr int kLabelColumnWidth = 220;
// The widest value the value box must show whole.
constexpr const char* kWidestValue = "-99999.999";
// The value box holds what its 50-byte buffer held.
constexpr int kValueBoxLength = 49;

}  // namespace

// ---------------------------------------------------------------- model

int CPdlParamModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : edit_.ShownCount();
}

int CPdlParamModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant CPdlParamModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return QVariant();
    const PdlParamRow& row = edit_.Shown(index.row());
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        if (index.column() == 0) return QString::fromStdString(edit_.ValueText(index.row()));
        return Utf8(row.label);
    }
    if (role == Qt::ToolTipRole) return Utf8(row.label);
    return QVariant();
}

QVariant CPdlParamModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    if (section == 0) return Text("129.column.value");
    if (section == 1) return Text("129.column.condition");
    return QVariant();
}

Qt::ItemFlags CPdlParamModel::flags(const QModelIndex& index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0) flags |= Qt::ItemIsEditable;
    return flags;
}

bool CPdlParamModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || index.column() != 0 ||
        role != Qt::EditRole) {
        return false;
    }
    // Nothing may be thrown into the view that ends the edit.
    try {
        if (!edit_.EditInPlace(index.row(), value.toString().toStdString())) return false;
    } catch (...) {
        return false;
    }
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

// ---------------------------------------------------------------- list

namespace {

// The in-place editor of the value column takes values as the value box does.
class CPdlValueDelegate final : public frame::EntryDelegate {
public:
    using frame::EntryDelegate::EntryDelegate;
    std::optional<frame::NumberRule> RuleOf(const QModelIndex& index) const override {
        if (index.column() != 0) return std::nullopt;
        return PdlLaserEdit::kValueRule;
    }
};

}  // namespace

CPdlParamList::CPdlParamList(QWidget* parent) : frame::EntryTableView(parent) {
    setItemDelegate(new CPdlValueDelegate(this));
}

bool CPdlParamList::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    return QTableView::edit(index.isValid() ? index.siblingAtColumn(0) : index, trigger, event);
}

QModelIndex CPdlParamList::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const int rows = model()->rowCount();
    if ((action == MoveHome || action == MoveEnd) && rows > 0) {
        return model()->index(action == MoveHome ? 0 : rows - 1,
                              std::max(currentIndex().column(), 0));
    }
    return QTableView::moveCursor(action, modifiers);
}

// ---------------------------------------------------------------- dialog

CPdlLaserCondDlg::CPdlLaserCondDlg(std::string machineName, int machineId, std::string materialName,
                                   int tableIndex, QWidget* parent)
    : QDialog(parent),
      edit_(std::move(machineName), machineId, std::move(materialName), tableIndex) {
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
    // shown on the left.
    list_ = new CPdlParamList(this);
    list_->setObjectName(QStringLiteral("1028"));
    model_ = new CPdlParamModel(edit_, list_);
    list_->setModel(model_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setShowGrid(true);
    list_->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::DoubleClicked);
    list_->verticalHeader()->hide();
    list_->setFocusPolicy(Qt::StrongFocus);
    list_->setWordWrap(false);
    QHeaderView* header = list_->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setStretchLastSection(false);
    header->moveSection(1, 0);
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    FitColumns();
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { ItemChanged(current.row()); });
    connect(model_, &CPdlParamModel::ValueEdited, this, [this] { InPlaceEditEnded(); });

    // Value group: the value box and the apply button (the default button).
    valueEdit_ = new QLineEdit(this);
    valueEdit_->setObjectName(QStringLiteral("1000"));
    valueEdit_->setMaxLength(kValueBoxLength);
    {
        // Wide enough for the widest value with the box's own margins.
        QStyleOptionFrame option;
        option.initFrom(valueEdit_);
        option.lineWidth =
            valueEdit_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, valueEdit_);
        const QMargins margins = valueEdit_->textMargins();
        const int text =
            valueEdit_->fontMetrics().horizontalAdvance(QString::fromLatin1(kWidestValue));
        const QSize contents(text + margins.left() + margins.right() + 8,
                             valueEdit_->sizeHint().height());
        valueEdit_->setMinimumWidth(
            valueEdit_->style()
                ->sizeFromContents(QStyle::CT_LineEdit, &option, contents, valueEdit_)
                .width());
    }
    applyButton_ = new QPushButton(Text("129.1001"), this);
    applyButton_->setObjectName(QStringLiteral("1001"));
    applyButton_->setDefault(true);
    connect(applyButton_, &QPushButton::clicked, this, [this] { ApplyValueBox(); });
    auto* valueGroup = new QGroupBox(Text("129.group.value"), this);
    auto* valueLayout = new QHBoxLayout(valueGroup);
    valueLayout->addWidget(new QLabel(Text("129.label.value"), valueGroup));
    valueLayout->addWidget(valueEdit_, 1);
    valueLayout->addWidget(applyButton_);

    // The description wraps; it is tall enough for the longest one (the gas
    // codes, string 404) at its width.
    description_ = new QLabel(this);
    description_->setObjectName(QStringLiteral("1047"));
    description_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    description_->setWordWrap(true);
    description_->setTextFormat(Qt::PlainText);
    {
        const QString longest = Utf8(frame::ResourceString(kPdlDescriptionStringBase + 4));
        const QFontMetrics metrics = description_->fontMetrics();
        int width = 0;
        for (const QString& line : longest.split(QLatin1Char('\n'))) {
            width = std::max(width, metrics.horizontalAdvance(line));
        }
        description_->setMinimumWidth(width + 4);
        description_->setMinimumHeight(
            metrics.boundingRect(QRect(0, 0, width + 4, 100000), Qt::TextWordWrap, longest)
                .height() +
            4);
    }
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
        auto* box = new QCheckBox(Utf8(frame::kCuttingConditionNames[k]), optionsGroup);
        box->setObjectName(QString::number(kFirstTableBoxId + k));
        tableBoxes_[k] = box;
        // P101 to P103 share the places of the first column group.
        const int column = k < 10 ? k / 3 : 4;
        const int row = k < 10 ? k % 3 : k - 10;
        optionsLayout->addWidget(box, 3 + row, column);
    }
    connect(saveSwitch_, &QCheckBox::toggled, this, [this] { UpdatePdlSaveOptionBoxes(); });

    // Enter on a focused push button presses that button (auto-default);
    // elsewhere it presses the apply button.
    auto* okButton = new QPushButton(Text("129.1"), this);
    okButton->setObjectName(QStringLiteral("1"));
    connect(okButton, &QPushButton::clicked, this, [this] { Save(); });
    auto* cancelButton = new QPushButton(Text("129.2"), this);
    cancelButton->setObjectName(QStringLiteral("2"));
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

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

    // Keyboard order: the list, the value box and apply, the save options,
    // OK and Cancel.
    QWidget* order[] = {machineEdit_, materialEdit_, conditionEdit_, list_,
                        valueEdit_,   applyButton_,  saveSwitch_};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    QWidget* previous = saveSwitch_;
    for (QCheckBox* box : tableBoxes_) {
        setTabOrder(previous, box);
        previous = box;
    }
    setTabOrder(previous, okButton);
    setTabOrder(okButton, cancelButton);
}

void CPdlLaserCondDlg::FitColumns() {
    // Each column as wide as its widest text (at least its set width), so
    // every label can be read whole.
    int widths[2] = {kValueColumnWidth, kLabelColumnWidth};
    const QFontMetrics metrics = list_->fontMetrics();
    const int padding = 2 * (list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) + 8;
    for (int row = 0; row < model_->rowCount(); ++row) {
        for (int column = 0; column < 2; ++column) {
            const QString text = model_->index(row, column).data().toString();
            widths[column] = std::max(widths[column], metrics.horizontalAdvance(text) + padding);
        }
    }
    list_->setColumnWidth(0, widths[0]);
    list_->setColumnWidth(1, widths[1]);
    list_->setMinimumSize(widths[0] + widths[1] + list_->verticalScrollBar()->sizeHint().width() +
                              2 * list_->frameWidth() + 2,
                          280);
}

void CPdlLaserCondDlg::Initialize() {
    machineEdit_->setText(Utf8(platform::DisplayText(edit_.Machine())));
    materialEdit_->setText(Utf8(platform::DisplayText(edit_.Material())));
    conditionEdit_->setText(Utf8(frame::kCuttingConditionNames[edit_.Table()]));
    edit_.Open();
    SetSaveOptionBoxes(edit_.LoadedSaveOptions());
    UpdatePdlSaveOptionBoxes();
    model_->Reload();
    FitColumns();
    // The dialog opens in the list.
    list_->setFocus(Qt::OtherFocusReason);
}

void CPdlLaserCondDlg::ItemChanged(int row) {
    if (!edit_.SelectRow(row)) return;
    try {
        valueEdit_->setText(QString::fromStdString(edit_.ValueText(row)));
        description_->setText(Utf8(edit_.Description(row)));
    } catch (...) {
    }
}

bool CPdlLaserCondDlg::ApplyValueBox() {
    const int row = edit_.CurrentRow();
    if (row >= edit_.ShownCount()) return true;
    const QString typed = valueEdit_->text();
    try {
        if (!edit_.Apply(typed.toStdString())) {
            // The row keeps its value, and the box shows it again.
            valueEdit_->setText(QString::fromStdString(edit_.ValueText(row)));
            valueEdit_->selectAll();
            valueEdit_->setFocus();
            frame::ShowEntryRefusal(PdlLaserEdit::CheckValue(typed.toStdString()).check, typed,
                                    PdlLaserEdit::kValueRule);
            return false;
        }
    } catch (...) {
        return false;
    }
    valueEdit_->setModified(false);
    model_->RowChanged(row);
    list_->setFocus();
    return true;
}

void CPdlLaserCondDlg::InPlaceEditEnded() {
    if (edit_.CurrentRow() >= edit_.ShownCount()) return;
    valueEdit_->setText(QString::fromStdString(edit_.ValueText(edit_.CurrentRow())));
}

void CPdlLaserCondDlg::SetSaveOptionBoxes(const PdlSaveOptions& options) {
    saveSwitch_->setChecked(options.saveSwitch);
    for (int k = 0; k < kPdlTableCount; ++k) tableBoxes_[k]->setChecked(options.tables[k]);
}

PdlSaveOptions CPdlLaserCondDlg::SaveOptionsFromBoxes() const {
    PdlSaveOptions options;
    options.saveSwitch = saveSwitch_->isChecked();
    for (int k = 0; k < kPdlTableCount; ++k) options.tables[k] = tableBoxes_[k]->isChecked();
    return options;
}

void CPdlLaserCondDlg::UpdatePdlSaveOptionBoxes() {
    const bool saveSwitch = saveSwitch_->isChecked();
    for (int k = 0; k < kPdlTableCount; ++k) {
        tableBoxes_[k]->setVisible(PdlSaveOptionBoxShown(saveSwitch, edit_.Table(), k));
    }
}

void CPdlLaserCondDlg::Save() {
    // OK takes what the operator typed and did not apply yet, in place or
    // in the value box; a refused entry keeps the dialog open.
    if (!list_->FinishEditing()) return;
    if (valueEdit_->isModified() && !ApplyValueBox()) return;
    // The dialog closes after the save in every case, failure included; the
    // result tells the host, and a file another workstation kept is named.
    if (!edit_.Save(SaveOptionsFromBoxes())) {
        frame::ShowBusyFileMessage(
            PdlConditionFilePath(edit_.Machine(), edit_.Material()).value_or(""));
    }
    done(QDialog::Accepted);
}

// ---------------------------------------------------------------- export

bool RunPdlLaserCondDialog(const char* machineName, int machineType, const char* materialName,
                           int tableIndex) {
    const frame::DialogTurn turn("SddPDLOthMacLasCutDLG");
    if (!turn) return false;
    // A type without an ID looks up the machines whose ID is missing too.
    const int machineId = PdlMachineTypeGet(machineType).value_or(kNoMachineId);
    CPdlLaserCondDlg dialog(machineName, machineId, materialName, tableIndex);
    dialog.Initialize();
    dialog.exec();
    return !dialog.Failed();
}

}  // namespace quillet::pdl
