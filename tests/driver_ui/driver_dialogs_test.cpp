// The three driver dialogs driven offscreen end to end against files and the
// stand-in driver: objectNames, the grid's model, OK "1" and Cancel "2".
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "driver_ui/driver_dialog_run.h"
#include "driver_ui_test_support.h"
#include "frame/gui_qt.h"
#include "frame/status.h"
#include "support/message_recorder.h"
#include "support/temp_install.h"

namespace quillet::driver_ui {
namespace {

using testing::IniValue;
namespace fs = std::filesystem;

// Runs action on the modal dialog called name once it is shown.
class OnModal {
public:
    OnModal(const char* name, std::function<void(QDialog&)> action) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this, name, action] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || dialog->objectName() != name || !dialog->isVisible()) return;
            timer_.stop();
            ran_ = true;
            action(*dialog);
        });
        timer_.start();
    }
    bool Ran() const { return ran_; }

private:
    QTimer timer_;
    bool ran_ = false;
};

template <typename T>
T* Control(QDialog& dialog, const char* name) {
    T* control = dialog.findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
}

QAbstractItemModel* GridModel(QDialog& dialog) {
    return Control<QAbstractItemView>(dialog, "1050")->model();
}

bool Visible(QDialog& dialog, int id) {
    QWidget* control = Control<QWidget>(dialog, std::to_string(id).c_str());
    return control != nullptr && control->isVisible();
}

void Press(QDialog& dialog, const char* button) { Control<QPushButton>(dialog, button)->click(); }

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

TEST_F(DriverDialogsTest, LaserOkSavesTheConditionAndItsCopies) {
    OnModal modal("130", [](QDialog& dialog) {
        EXPECT_EQ(Control<QLineEdit>(dialog, "1000")->text(), "MC01");
        EXPECT_EQ(Control<QLineEdit>(dialog, "1003")->text(), "SPCC1.6");
        EXPECT_EQ(Control<QLineEdit>(dialog, "1004")->text(), "L");
        EXPECT_TRUE(Visible(dialog, 1046));
        EXPECT_TRUE(Visible(dialog, 1051));
        EXPECT_FALSE(Visible(dialog, 1033));  // option off: no condition boxes
        Control<QCheckBox>(dialog, "1046")->click();
        for (int id = 1033; id <= 1045; ++id) {
            EXPECT_EQ(Visible(dialog, id), id <= 1042) << id;
        }
        Control<QCheckBox>(dialog, "1033")->click();  // K
        Control<QCheckBox>(dialog, "1035")->click();  // M
        Control<QCheckBox>(dialog, "1034")->click();  // L itself: written once
        QAbstractItemModel* grid = GridModel(dialog);
        ASSERT_EQ(grid->rowCount(), 3);
        EXPECT_TRUE(grid->setData(grid->index(0, 0), Qt::Checked, Qt::CheckStateRole));
        EXPECT_TRUE(grid->setData(grid->index(1, 2), 77, Qt::EditRole));
        EXPECT_FALSE(grid->setData(grid->index(1, 2), 100000, Qt::EditRole));
        EXPECT_TRUE(grid->setData(grid->index(2, 3), 0.25, Qt::EditRole));
        Press(dialog, "1");
    });
    EXPECT_EQ(RunLaserDialog(driver_.c_str(), "MC01", "SPCC1.6", 1), kDone);
    EXPECT_TRUE(modal.Ran());
    const fs::path saved = Saved("MD_CUT_MC01_SPCC1.6.ini");
    for (const char* section : {"MD_CUT_L", "MD_CUT_K", "MD_CUT_M"}) {
        EXPECT_EQ(IniValue(saved, section, "1_2OnOff"), "1") << section;
        EXPECT_EQ(IniValue(saved, section, "2_3Value1"), "77") << section;
        EXPECT_EQ(IniValue(saved, section, "3_4Value2"), "0.250000") << section;
    }
    EXPECT_EQ(IniValue(saved, "MD_CUT_H", "2_3Value1"), "<missing>");
    for (const auto& [key, value] : {std::pair{"", "1"},
                                     {"_K", "1"},
                                     {"_L", "1"},
                                     {"_H", "0"},
                                     {"_U5", "0"},
                                     {"_P101", "<missing>"}}) {
        EXPECT_EQ(IniValue(saved, "MD_CUT_SAVEOPT", std::string("OnOff_SaveOpt") + key), value);
    }
    EXPECT_FALSE(fs::exists(Working("MD_CUT_TEMP.ini")));
}

TEST_F(DriverDialogsTest, LaserP102ShowsItsGroupAndCancelKeepsTheFile) {
    const fs::path saved = Saved("MD_CUT_MC01_SPCC1.6.ini");
    const std::string before =
        "[MD_CUT_P102]\n2_3Value1=12\n[MD_CUT_SAVEOPT]\nOnOff_SaveOpt=1\n"
        "OnOff_SaveOpt_K=1\nOnOff_SaveOpt_P101=1\n";
    testing::WriteFile(saved, before);
    OnModal modal("130", [](QDialog& dialog) {
        EXPECT_TRUE(Control<QCheckBox>(dialog, "1046")->isChecked());
        for (int id = 1033; id <= 1045; ++id) {
            EXPECT_EQ(Visible(dialog, id), id >= 1043) << id;
        }
        EXPECT_TRUE(Control<QCheckBox>(dialog, "1043")->isChecked());
        EXPECT_FALSE(Control<QCheckBox>(dialog, "1033")->isChecked());  // K is not read
        EXPECT_EQ(GridModel(dialog)->index(1, 2).data().toString(), "12");
        Press(dialog, "2");
    });
    EXPECT_EQ(RunLaserDialog(driver_.c_str(), "MC01", "SPCC1.6", 11), kDone);
    EXPECT_TRUE(modal.Ran());
    EXPECT_EQ(testing::ReadFile(saved), before);
    EXPECT_FALSE(fs::exists(Working("MD_CUT_TEMP.ini")));
}

TEST_F(DriverDialogsTest, LaserWithAnEmptyDriverHidesTheOptionAndWritesNothing) {
    const std::string empty = testing::WriteEmptyDriver(drivers_.Path()).string();
    OnModal modal("130", [](QDialog& dialog) {
        EXPECT_EQ(GridModel(dialog)->rowCount(), 0);
        EXPECT_FALSE(Visible(dialog, 1046));
        EXPECT_FALSE(Visible(dialog, 1051));
        Press(dialog, "1");
    });
    EXPECT_EQ(RunLaserDialog(empty.c_str(), "MC01", "SPCC1.6", 0), kDone);
    EXPECT_TRUE(modal.Ran());
    EXPECT_FALSE(fs::exists(Saved("MD_CUT_MC01_SPCC1.6.ini")));
    EXPECT_FALSE(fs::exists(Working("MD_CUT_TEMP.ini")));
}

TEST_F(DriverDialogsTest, ToolTimingIsExclusiveAndSaved) {
    const fs::path saved = Saved("MD_TOOL_MC01_DIE1.ini");
    testing::WriteFile(saved, "[MD_TOOL_3]\n11_3Timing=2\n[MD_TOOL_4]\n11_3Timing=0\n");
    OnModal modal("131", [](QDialog& dialog) {
        EXPECT_EQ(Control<QLineEdit>(dialog, "1004")->text(), "3");
        EXPECT_TRUE(Visible(dialog, 1051));
        auto* view = Control<QAbstractItemView>(dialog, "1050");
        QAbstractItemModel* grid = view->model();
        EXPECT_EQ(grid->index(1, 6).data(Qt::CheckStateRole).toInt(), Qt::Checked);
        // Space in a timing column changes nothing.
        view->setCurrentIndex(grid->index(1, 4));
        QTest::keyClick(view, Qt::Key_Space);
        EXPECT_EQ(grid->index(1, 4).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
        EXPECT_TRUE(grid->setData(grid->index(1, 4), Qt::Checked, Qt::CheckStateRole));
        EXPECT_EQ(grid->index(1, 6).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
        Press(dialog, "1");
    });
    EXPECT_EQ(RunToolDialog(driver_.c_str(), "MC01", "DIE1", 3), kDone);
    EXPECT_TRUE(modal.Ran());
    EXPECT_EQ(IniValue(saved, "MD_TOOL_3", "11_3Timing"), "0");
    EXPECT_EQ(IniValue(saved, "MD_TOOL_3", "10_2Timing"), "1");
    EXPECT_EQ(IniValue(saved, "MD_TOOL_4", "11_3Timing"), "0");
    EXPECT_FALSE(fs::exists(Working("MD_TOOL_TEMP.ini")));
}

TEST_F(DriverDialogsTest, CancelAndWindowCloseLeaveNoFiles) {
    for (bool close : {false, true}) {
        OnModal modal("131", [close](QDialog& dialog) {
            if (close) {
                dialog.close();
            } else {
                Press(dialog, "2");
            }
        });
        EXPECT_EQ(RunToolDialog(driver_.c_str(), "MC01", "DIE1", 0), kDone);
        EXPECT_TRUE(modal.Ran());
        EXPECT_FALSE(fs::exists(Saved("MD_TOOL_MC01_DIE1.ini")));
        EXPECT_FALSE(fs::exists(Working("MD_TOOL_TEMP.ini")));
    }
}

TEST_F(DriverDialogsTest, NcOkWritesThePlainFile) {
    testing::WriteFile(Saved("MD_NC_MC01.ini"), "100_3OnOff=1\n100_3Value1=8\n");
    OnModal modal("132", [](QDialog& dialog) {
        QAbstractItemModel* grid = GridModel(dialog);
        EXPECT_EQ(grid->columnCount(), 3);
        EXPECT_EQ(grid->index(0, 2).data().toString(), "08");
        EXPECT_EQ(grid->index(1, 2).data().toString(), "1.500000");
        EXPECT_EQ(dialog.findChild<QLineEdit*>("1003"), nullptr);
        Press(dialog, "1");
    });
    EXPECT_EQ(RunNcDialog(driver_.c_str(), "MC01"), kDone);
    EXPECT_TRUE(modal.Ran());
    EXPECT_EQ(testing::ReadFile(Saved("MD_NC_MC01.ini")),
              "100_3OnOff=1\n100_3Value1=8\n101_4OnOff=0\n101_4Value1=1.500000\n");
    EXPECT_FALSE(fs::exists(Working("MD_NC_TEMP.ini")));
}

TEST_F(DriverDialogsTest, BadStartsOpenNoDialog) {
    const std::string missing = (drivers_.Path() / "none.drv").string();
    const char* d = driver_.c_str();
    struct Row {
        std::function<int()> run;
        int status;
        bool message;
    };
    const std::vector<Row> rows = {
        {[&] { return RunLaserDialog(missing.c_str(), "", "", 0); }, kDone, true},
        {[&] { return RunToolDialog(missing.c_str(), nullptr, "", -1); }, kDone, true},
        {[&] { return RunNcDialog(nullptr, "MC01"); }, kDone, true},
        {[&] { return RunLaserDialog(d, "MC01", "SPCC", 13); }, kInvalidArguments, false},
        {[&] { return RunLaserDialog(d, "MC01", "SPCC", -1); }, kInvalidArguments, false},
        {[&] { return RunLaserDialog(d, "MC01", "", 0); }, kInvalidArguments, false},
        {[&] { return RunToolDialog(d, "MC01", "DIE1", -1); }, kInvalidArguments, false},
        {[&] { return RunToolDialog(d, "MC01", "a/b", 1); }, kInvalidArguments, false},
        {[&] { return RunNcDialog(d, ""); }, kInvalidArguments, false},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        messages_.Clear();
        EXPECT_EQ(rows[i].run(), rows[i].status) << i;
        EXPECT_EQ(messages_.Ids().size(), rows[i].message ? 1u : 0u) << i;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST(DriverDialogsPathTest, AMissingDataRootGives999WithoutADialog) {
    ASSERT_TRUE(frame::EnsureApplication());
    testing::TempFolder drivers;
    const std::string driver = testing::WriteSampleDriver(drivers.Path()).string();
    testing::TempInstallation::Options options;
    options.dataRoot = false;
    testing::TempInstallation install(options);
    OnModal modal("132", [](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(RunNcDialog(driver.c_str(), "MC01"), kSystemError);
    EXPECT_FALSE(modal.Ran());
}

}  // namespace
}  // namespace quillet::driver_ui
