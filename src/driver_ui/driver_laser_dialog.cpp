// Dialog 130 and its save options.
#include "driver_ui/driver_laser_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "driver_ui/spread_sheet_view.h"
#include "platform/profile.h"

namespace quillet::driver_ui {

CDriverLaserDlg::CDriverLaserDlg(QWidget* parent)
    : CDriverSettingDlg(driver::DriverSettingKind::Cut, parent),
      saveGroup_(new QGroupBox(this)),
      saveOptionBox_(new QCheckBox(TemplateText("1046"), saveGroup_)) {
    saveGroup_->setObjectName(QStringLiteral("1051"));
    saveOptionBox_->setObjectName(QStringLiteral("1046"));

    auto* boxes = new QGridLayout;
    for (int index = 0; index < frame::kCuttingConditionCount; ++index) {
        const std::string_view name =
            frame::kCuttingConditionNames[static_cast<std::size_t>(index)];
        auto* box = new QCheckBox(QString::fromLatin1(name.data(), name.size()), saveGroup_);
        box->setObjectName(QString::number(1033 + index));
        conditionBoxes_[static_cast<std::size_t>(index)] = box;
        if (index < frame::kSecondGroupFirstIndex) {
            boxes->addWidget(box, index, 0);
        } else {
            boxes->addWidget(box, index - frame::kSecondGroupFirstIndex, 1);
        }
    }
    auto* groupLayout = new QVBoxLayout(saveGroup_);
    groupLayout->addWidget(saveOptionBox_);
    groupLayout->addLayout(boxes);
    groupLayout->addStretch();

    QGridLayout* top = MakeFieldRows("label.material", "label.condition");

    auto* right = new QVBoxLayout;
    right->addWidget(saveGroup_);
    right->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    right->addLayout(buttons);

    auto* middle = new QHBoxLayout;
    middle->addWidget(sheet_, 1);
    middle->addLayout(right);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    resize(740, 560);

    connect(saveOptionBox_, &QCheckBox::toggled, this, [this] {
        TakeControls();
        UpdateVisibility();
    });
    SetTabOrderChain(
        {machineEdit_,        nameEdit_,           sectionEdit_,       sheet_,
         saveOptionBox_,      conditionBoxes_[0],  conditionBoxes_[1], conditionBoxes_[2],
         conditionBoxes_[3],  conditionBoxes_[4],  conditionBoxes_[5], conditionBoxes_[6],
         conditionBoxes_[7],  conditionBoxes_[8],  conditionBoxes_[9], conditionBoxes_[10],
         conditionBoxes_[11], conditionBoxes_[12], okButton_,          cancelButton_});
}

void CDriverLaserDlg::SetCondition(int index) {
    // The table has 13 entries: a larger index would read past it.
    if (!frame::IsCuttingConditionIndex(index)) return;
    conditionIndex_ = index;
    SetSection(std::string(frame::kCuttingConditionNames[static_cast<std::size_t>(index)]));
}

bool CDriverLaserDlg::Prepare() {
    const bool opened = OpenStep([this](const std::string& file) {
        if (edit_->Items().empty()) return;
        options_ = LoadLaserSaveOptions(platform::ProfileDocument::Load(file), conditionIndex_);
    });
    if (!opened) return false;
    PutControls();
    UpdateVisibility();
    return true;
}

void CDriverLaserDlg::TakeControls() {
    options_.saveOption = saveOptionBox_->isChecked();
    for (std::size_t i = 0; i < conditionBoxes_.size(); ++i) {
        options_.switches[i] = conditionBoxes_[i]->isChecked();
    }
}

void CDriverLaserDlg::PutControls() {
    const QSignalBlocker blocker(saveOptionBox_);
    saveOptionBox_->setChecked(options_.saveOption);
    for (std::size_t i = 0; i < conditionBoxes_.size(); ++i) {
        conditionBoxes_[i]->setChecked(options_.switches[i]);
    }
}

void CDriverLaserDlg::UpdateVisibility() {
    const LaserSaveVisibility visibility =
        LaserVisibility(ItemsEmpty(), options_.saveOption, conditionIndex_);
    saveOptionBox_->setVisible(visibility.optionShown);
    saveGroup_->setVisible(visibility.optionShown);
    for (std::size_t i = 0; i < conditionBoxes_.size(); ++i) {
        conditionBoxes_[i]->setVisible(visibility.conditionShown[i]);
    }
}

void CDriverLaserDlg::accept() {
    if (!FinishEditing()) return;
    if (ItemsEmpty()) {
        reject();
        return;
    }
    TakeControls();
    const int index = conditionIndex_;
    const LaserSaveOptions options = options_;
    try {
        CommitStep(LaserCopySections(index, options),
                   [index, options](platform::ProfileDocument& document) {
                       StoreLaserSaveOptions(document, index, options);
                   });
    } catch (...) {
        result_ = driver::Outcome::Failed;
    }
    QDialog::accept();
}

}  // namespace quillet::driver_ui
