// The three driver dialogs driven offscreen against files and the stand-in
// driver: OK and Cancel runs, keys, host bytes, focus and order, caption 1051.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <vector>

#include "driver_ui/driver_dialog_run.h"
#include "driver_ui_test_support.h"
#include "frame/gui_qt.h"
#include "frame/resources.h"
#include "frame/status.h"
#include "resource_set.h"
#include "support/message_recorder.h"
#include "support/on_modal.h"

namespace quillet::driver_ui {
namespace {

using testing::Child;
using testing::Click;
using testing::IniValue;
using testing::OnModal;
using testing::PressKey;
using testing::TabChain;
using testing::Visible;
namespace fs = std::filesystem;

QAbstractItemModel* GridModel(QDialog& dialog) {
    return Child<QAbstractItemView>(dialog, "1050")->model();
}

class DriverDialogsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(frame::EnsureApplication()); }
    fs::path Saved(const std::string& name) const { return install_.DataFolder() / name; }
    fs::path Working(const std::string& name) const { return install_.WorkingFolder() / name; }

    testing::TempInstallation install_;
    testing::TempFolder drivers_;
    std::string driver_ = testing::WriteSampleDriver(drivers_.Path()).string();
    testing::MessageRecorder messages_;
};

TEST_F(DriverDialogsTest, LaserOkSavesTheConditionAndItsCopiesUnderTheHostsBytes) {
    // A material name that is not UTF-8 (Shift-JIS あ) names the file byte for byte.
    const std::string material = "SJ\x82\xa0X";
    OnModal modal("130", [](QDialog& dialog) {
        EXPECT_EQ(Child<QLineEdit>(dialog, "1003")->text(), "SJあX");
        EXPECT_EQ(Child<QLineEdit>(dialog, "1004")->text(), "L");
        EXPECT_EQ(dialog.focusWidget(), Child<QWidget>(dialog, "1050"));
        EXPECT_EQ(TabChain(dialog, "1000", 6),
                  (std::vector<std::string>{"1000", "1003", "1004", "1050", "1046", "1"}));
        EXPECT_TRUE(Visible(dialog, "1046") && Visible(dialog, "1051"));
        EXPECT_FALSE(Visible(dialog, "1033"));  // option off: no condition boxes
        Child<QCheckBox>(dialog, "1046")->click();
        for (int id = 1033; id <= 1045; ++id)
            EXPECT_EQ(Visible(dialog, std::to_string(id)), id <= 1042) << id;
        EXPECT_EQ(TabChain(dialog, "1046", 3), (std::vector<std::string>{"1046", "1033", "1034"}));
        Child<QCheckBox>(dialog, "1033")->click();  // K
        Child<QCheckBox>(dialog, "1035")->click();  // M
        Child<QCheckBox>(dialog, "1034")->click();  // L itself: written once
        QAbstractItemModel* grid = GridModel(dialog);
        ASSERT_EQ(grid->rowCount(), 3);
        EXPECT_TRUE(grid->setData(grid->index(0, 0), Qt::Checked, Qt::CheckStateRole));
        EXPECT_TRUE(grid->setData(grid->index(1, 2), 77, Qt::EditRole));
        EXPECT_TRUE(grid->setData(grid->index(2, 3), 0.25, Qt::EditRole));
        PressKey(Child<QWidget>(dialog, "1"), Qt::Key_Enter);  // keypad Enter on OK
    });
    EXPECT_EQ(RunLaserDialog(driver_.c_str(), "MC01", material.c_str(), 1), kDone);
    EXPECT_TRUE(modal.Ran());
    const fs::path saved = Saved("MD_CUT_MC01_" + material + ".ini");
    for (const char* section : {"MD_CUT_L", "MD_CUT_K", "MD_CUT_M"}) {
        EXPECT_EQ(IniValue(saved, section, "1_2OnOff"), "1") << section;
        EXPECT_EQ(IniValue(saved, section, "2_3Value1"), "77") << section;
        EXPECT_EQ(IniValue(saved, section, "3_4Value2"), "0.250000") << section;
    }
    EXPECT_EQ(IniValue(saved, "MD_CUT_H", "2_3Value1"), "<missing>");
    const std::pair<const char*, const char*> options[] = {
        {"", "1"}, {"_K", "1"}, {"_L", "1"}, {"_H", "0"}, {"_U5", "0"}, {"_P101", "<missing>"}};
    for (const auto& [key, value] : options) {
        EXPECT_EQ(IniValue(saved, "MD_CUT_SAVEOPT", std::string("OnOff_SaveOpt") + key), value);
    }
    EXPECT_FALSE(fs::exists(Working("MD_CUT_TEMP.ini")));
}

TEST_F(DriverDialogsTest, LaserP102ShowsItsGroupAndEnterOnCancelKeepsTheFile) {
    const fs::path saved = Saved("MD_CUT_MC01_SPCC1.6.ini");
    const std::string before =
        "[MD_CUT_P102]\n2_3Value1=12\n[MD_CUT_SAVEOPT]\nOnOff_SaveOpt=1\n"
        "OnOff_SaveOpt_K=1\nOnOff_SaveOpt_P101=1\n";
    testing::WriteFile(saved, before);
    OnModal modal("130", [](QDialog& dialog) {
        EXPECT_TRUE(Child<QCheckBox>(dialog, "1046")->isChecked());
        for (int id = 1033; id <= 1045; ++id)
            EXPECT_EQ(Visible(dialog, std::to_string(id)), id >= 1043) << id;
        EXPECT_TRUE(Child<QCheckBox>(dialog, "1043")->isChecked());
        EXPECT_FALSE(Child<QCheckBox>(dialog, "1033")->isChecked());  // K is not read
        QAbstractItemModel* grid = GridModel(dialog);
        EXPECT_EQ(grid->index(1, 2).data().toString(), "12");
        EXPECT_TRUE(grid->setData(grid->index(1, 2), 5, Qt::EditRole));
        PressKey(Child<QWidget>(dialog, "1046"), Qt::Key_Space);  // a check box takes Space
        PressKey(Child<QWidget>(dialog, "2"), Qt::Key_Return);
    });
    EXPECT_EQ(RunLaserDialog(driver_.c_str(), "MC01", "SPCC1.6", 11), kDone);
    EXPECT_TRUE(modal.Ran());
    EXPECT_EQ(testing::ReadFile(saved), before);
    EXPECT_FALSE(fs::exists(Working("MD_CUT_TEMP.ini")));
}

TEST_F(DriverDialogsTest, ToolEnterStaysInTheGridTimingIsExclusiveAndTheCaptionTopsItsColumns) {
    const fs::path saved = Saved("MD_TOOL_MC01_DIE1.ini");
    for (const QuilletResourceSet* set :
         {QuilletGetBuiltinResourceSet(), QuilletGetResourceSet()}) {
        frame::UseResourceSet(set);
        testing::WriteFile(saved, "[MD_TOOL_3]\n11_3Timing=2\n[MD_TOOL_4]\n11_3Timing=0\n");
        OnModal modal("131", [](QDialog& dialog) {
            EXPECT_EQ(Child<QLineEdit>(dialog, "1004")->text(), "3");
            EXPECT_EQ(TabChain(dialog, "1000", 6),
                      (std::vector<std::string>{"1000", "1003", "1004", "1050", "1", "2"}));
            auto* view = Child<QTableView>(dialog, "1050");
            QAbstractItemModel* grid = view->model();
            // Caption 1051 stands above columns 5 to 7 and shows its text whole.
            auto* caption = Child<QLabel>(dialog, "1051");
            ASSERT_TRUE(caption != nullptr && caption->isVisible());
            const int left =
                view->viewport()->mapTo(&dialog, QPoint(view->columnViewportPosition(4), 0)).x();
            const int right =
                left + view->columnWidth(4) + view->columnWidth(5) + view->columnWidth(6);
            const QRect box(caption->mapTo(&dialog, QPoint(0, 0)), caption->size());
            EXPECT_NEAR(box.center().x(), (left + right) / 2, 2);
            EXPECT_GE(box.width(), caption->fontMetrics().horizontalAdvance(caption->text()));
            EXPECT_LE(box.bottom(), view->mapTo(&dialog, QPoint(0, 0)).y());

            EXPECT_EQ(grid->index(1, 6).data(Qt::CheckStateRole).toInt(), Qt::Checked);
            view->setCurrentIndex(grid->index(1, 4));
            PressKey(view, Qt::Key_Space);  // Space in a timing column changes nothing
            EXPECT_EQ(grid->index(1, 4).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
            EXPECT_TRUE(grid->setData(grid->index(1, 4), Qt::Checked, Qt::CheckStateRole));
            EXPECT_EQ(grid->index(1, 6).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
            // Enter on a cell moves down; in an open editor it commits the cell.
            view->setCurrentIndex(grid->index(0, 2));
            PressKey(view, Qt::Key_Return);
            EXPECT_EQ(view->currentIndex(), grid->index(1, 2));
            PressKey(view, Qt::Key_F2);
            auto* editor = view->findChild<QSpinBox*>();
            ASSERT_NE(editor, nullptr);
            editor->setValue(42);
            QTest::keyClick(editor, Qt::Key_Enter);
            QTest::qWait(20);
            EXPECT_EQ(grid->index(1, 2).data().toString(), "42");
            EXPECT_TRUE(dialog.isVisible());
            PressKey(Child<QWidget>(dialog, "1"), Qt::Key_Return);
        });
        EXPECT_EQ(RunToolDialog(driver_.c_str(), "MC01", "DIE1", 3), kDone);
        EXPECT_TRUE(modal.Ran());
        EXPECT_EQ(IniValue(saved, "MD_TOOL_3", "11_3Timing"), "0");
        EXPECT_EQ(IniValue(saved, "MD_TOOL_3", "11_3Value1"), "42");
        EXPECT_EQ(IniValue(saved, "MD_TOOL_4", "11_3Timing"), "0");
        EXPECT_FALSE(fs::exists(Working("MD_TOOL_TEMP.ini")));
    }
    frame::UseResourceSet(nullptr);
}

TEST_F(DriverDialogsTest, NcOkWritesThePlainFile) {
    testing::WriteFile(Saved("MD_NC_MC01.ini"), "100_3OnOff=1\n100_3Value1=8\n");
    OnModal modal("132", [](QDialog& dialog) {
        QAbstractItemModel* grid = GridModel(dialog);
        EXPECT_EQ(grid->columnCount(), 3);
        EXPECT_EQ(grid->index(0, 2).data().toString(), "08");
        EXPECT_EQ(grid->index(1, 2).data().toString(), "1.500000");
        EXPECT_EQ(dialog.findChild<QLineEdit*>("1003"), nullptr);
        EXPECT_EQ(TabChain(dialog, "1000", 4),
                  (std::vector<std::string>{"1000", "1050", "1", "2"}));
        Click(dialog, "1");
    });
    EXPECT_EQ(RunNcDialog(driver_.c_str(), "MC01"), kDone);
    EXPECT_TRUE(modal.Ran());
    EXPECT_EQ(testing::ReadFile(Saved("MD_NC_MC01.ini")),
              "100_3OnOff=1\n100_3Value1=8\n101_4OnOff=0\n101_4Value1=1.500000\n");
    EXPECT_FALSE(fs::exists(Working("MD_NC_TEMP.ini")));
}

// A driver without items hides the save option; without a data root no
// dialog opens. (The start checks are the edit's: driver_setting_edit_test.)
TEST_F(DriverDialogsTest, AnEmptyDriverHidesTheOptionAndAMissingDataRootOpensNoDialog) {
    const std::string empty = (drivers_.Path() / "empty.drv").string();
    testing::WriteFile(empty, "# a driver that publishes nothing\n");
    OnModal modal("130", [](QDialog& dialog) {
        EXPECT_EQ(GridModel(dialog)->rowCount(), 0);
        EXPECT_FALSE(Visible(dialog, "1046") || Visible(dialog, "1051"));
        Click(dialog, "1");
    });
    EXPECT_EQ(RunLaserDialog(empty.c_str(), "MC01", "SPCC1.6", 0), kDone);
    EXPECT_TRUE(modal.Ran());

    testing::TempInstallation noRoot({.dataRoot = false});
    OnModal never("132", [](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(RunNcDialog(driver_.c_str(), "MC01"), kSystemError);
    EXPECT_FALSE(never.Ran());
}

}  // namespace
}  // namespace quillet::driver_ui
