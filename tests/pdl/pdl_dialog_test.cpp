// Dialog 129 driven offscreen: apply by Enter, in-place edit, save options,
// OK and Cancel.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <tuple>

#include "frame/gui_qt.h"
#include "frame/resources.h"
#include "pdl/pdl_files.h"
#include "pdl/pdl_laser_dialog.h"
#include "pdl/pdl_machine.h"
#include "pdl_test_support.h"

namespace quillet::pdl {
namespace {

using quillet::testing::ReadFile;
using quillet::testing::TempInstallation;
using quillet::testing::WriteFile;
using testing::ConditionFile;
using testing::DistinctRecord;
using testing::WriteMachineList;
using testing::WriteMaster;

constexpr int kMachineType = 13300;  // alias default: machine ID 60

class PdlDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(frame::EnsureApplication());
        frame::UseResourceSet(frame::BuiltinResourceSet());
        WriteMaster(install_);
        WriteMachineList(install_, 60, "10011", "0101");
    }

    int Run(int table, const std::function<void(QWidget*)>& drive,
            const char* material = "SPCC1.6") {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = nullptr;
            driven = QTest::qWaitFor([&] {
                dialog = QApplication::activeModalWidget();
                return dialog != nullptr && dialog->isVisible();
            });
            if (driven) drive(dialog);
        });
        const int result = RunPdlLaserCondDialog("MC01", kMachineType, material, table);
        EXPECT_TRUE(driven);
        return result;
    }

    static QAbstractItemView* List(QWidget* d) { return d->findChild<QAbstractItemView*>("1028"); }
    static QLineEdit* Value(QWidget* dialog) { return dialog->findChild<QLineEdit*>("1000"); }
    static QCheckBox* Box(QWidget* d, int id) {
        return d->findChild<QCheckBox*>(QString::number(id));
    }
    static QString Cell(QWidget* dialog, int row, int column) {
        auto* model = List(dialog)->model();
        return model->data(model->index(row, column)).toString();
    }
    static void Click(QWidget* d, const char* id) { d->findChild<QPushButton*>(id)->click(); }
    // Enters text as the value of row and applies it with the button.
    static void Apply(QWidget* dialog, int row, const char* text) {
        SelectRow(dialog, row);
        Value(dialog)->setText(text);
        Click(dialog, "1001");
    }
    static void SelectRow(QWidget* dialog, int row) {
        auto* list = List(dialog);
        list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect);
    }
    PdlCutCondition Table(int table) {
        PdlCutCondition record;
        ReadPdlCutCondition(ConditionFile(install_, "MC01", "SPCC1.6").string(), table, record);
        return record;
    }
    std::filesystem::path SaveOptionFile() const {
        return install_.DataFolder() / "PDL_CUT_SAVEOPT.ini";
    }

    TempInstallation install_;
};

TEST_F(PdlDialogTest, ShowsTheMachinesParametersAndTheirDescriptions) {
    const int result = Run(1, [](QWidget* dialog) {
        EXPECT_EQ(dialog->objectName(), "129");
        EXPECT_EQ(dialog->findChild<QLineEdit*>("1011")->text(), "MC01");
        EXPECT_EQ(dialog->findChild<QLineEdit*>("1012")->text(), "SPCC1.6");
        EXPECT_EQ(dialog->findChild<QLineEdit*>("1013")->text(), "L");
        EXPECT_TRUE(dialog->findChild<QLineEdit*>("1011")->isReadOnly());
        auto* list = List(dialog);
        ASSERT_EQ(list->model()->rowCount(), 3);
        const int labels[] = {206, 209, 210};
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(Cell(dialog, row, 1).toStdString(), frame::ResourceString(labels[row]));
        }
        EXPECT_EQ(Cell(dialog, 1, 0), "1003");  // table L, slot 3

        auto* view = qobject_cast<QTableView*>(list);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->horizontalHeader()->visualIndex(1), 0);  // label on the left
        EXPECT_EQ(view->columnWidth(0), 79);
        EXPECT_EQ(view->columnWidth(1), 220);
        EXPECT_FALSE(view->horizontalHeader()->sectionsClickable());

        SelectRow(dialog, 2);
        EXPECT_EQ(Value(dialog)->text(), "1004");
        EXPECT_EQ(dialog->findChild<QLabel*>("1047")->text().toStdString(),
                  frame::ResourceString(404));
        EXPECT_TRUE(dialog->findChild<QPushButton*>("1001")->isDefault());
        Click(dialog, "2");
    });
    EXPECT_EQ(result, 0);
}

TEST_F(PdlDialogTest, EnterAppliesInPlaceEditsAndOkSavesTheEditedTableOnly) {
    const int result = Run(0, [](QWidget* dialog) {
        auto* value = Value(dialog);
        SelectRow(dialog, 0);
        value->setFocus();
        value->setText("1500.5");
        QTest::keyClick(value, Qt::Key_Return);
        EXPECT_EQ(Cell(dialog, 0, 0), "1500.5");

        Apply(dialog, 2, "abc");  // letters store 0
        EXPECT_EQ(Cell(dialog, 2, 0), "0");

        auto* model = List(dialog)->model();
        EXPECT_TRUE(model->setData(model->index(1, 0), "2.000", Qt::EditRole));
        EXPECT_EQ(Cell(dialog, 1, 0), "2");
        EXPECT_EQ(value->text(), "0");  // the current row (2) is shown again
        EXPECT_TRUE(model->setData(model->index(1, 0), "x9", Qt::EditRole));
        EXPECT_EQ(Cell(dialog, 1, 0), "0");
        EXPECT_TRUE(model->setData(model->index(1, 0), "2.000", Qt::EditRole));
        EXPECT_FALSE(model->setData(model->index(1, 1), "5", Qt::EditRole));
        Click(dialog, "1");
    });
    EXPECT_EQ(result, 0);
    PdlCutCondition expected = DistinctRecord(0);
    expected.slot[0] = 1500.5f;
    expected.slot[3] = 2.0f;
    expected.slot[4] = 0.0f;
    const PdlCutCondition saved = Table(0);
    for (int i = 0; i < kPdlParamCount; ++i) EXPECT_EQ(saved.slot[i], expected.slot[i]) << i;
    for (int t = 1; t < kPdlTableCount; ++t) EXPECT_EQ(Table(t).slot[0], DistinctRecord(t).slot[0]);
    EXPECT_FALSE(std::filesystem::exists(SaveOptionFile()));
    EXPECT_FALSE(std::filesystem::exists(install_.WorkingFolder() / "PDL_CUT_TEMP.ini"));
}

TEST_F(PdlDialogTest, SaveOptionsOnWriteTheCheckedTablesOfTheGroup) {
    WriteFile(SaveOptionFile(),
              "[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_K=0\n"
              "OnOff_SaveOpt_L=1\nOnOff_SaveOpt_P101=1\n");
    const int result = Run(0, [](QWidget* dialog) {
        EXPECT_TRUE(Box(dialog, 1046)->isChecked());
        for (int id = 1033; id <= 1045; ++id) {
            auto* box = Box(dialog, id);
            EXPECT_EQ(box->isVisible(), id <= 1042) << id;
            EXPECT_EQ(box->isChecked(), id == 1034 || id == 1043) << id;
        }
        Apply(dialog, 0, "7");
        Click(dialog, "1");
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Table(0).slot[0], DistinctRecord(0).slot[0]);  // own box off
    EXPECT_EQ(Table(1).slot[0], 7.0f);
    EXPECT_EQ(Table(1).slot[1], DistinctRecord(0).slot[1]);  // the whole record of K
    EXPECT_EQ(Table(10).slot[0], DistinctRecord(10).slot[0]);
    const std::string options = ReadFile(SaveOptionFile());
    EXPECT_NE(options.find("OnOff_SaveOpt_K=0\n"), std::string::npos);
    EXPECT_NE(options.find("OnOff_SaveOpt_U5=0\n"), std::string::npos);
}

TEST_F(PdlDialogTest, SwitchOffHidesBoxesAndSavesTheEditedTable) {
    WriteFile(SaveOptionFile(), "[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_P101=1\n");
    const int result = Run(11, [](QWidget* dialog) {
        for (int id = 1033; id <= 1045; ++id) {
            EXPECT_EQ(Box(dialog, id)->isVisible(), id >= 1043) << id;
        }
        Box(dialog, 1046)->click();
        for (int id = 1033; id <= 1045; ++id) {
            EXPECT_FALSE(Box(dialog, id)->isVisible());
        }
        Apply(dialog, 0, "-3.5");
        Click(dialog, "1");
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Table(11).slot[1], -3.5f);  // PCUsed 0101: first row is slot 1
    EXPECT_EQ(Table(10).slot[1], DistinctRecord(10).slot[1]);
    const std::string options = ReadFile(SaveOptionFile());
    EXPECT_NE(options.find("OnOff_SaveOpt=0\n"), std::string::npos);
    EXPECT_NE(options.find("OnOff_SaveOpt_P101=1\n"), std::string::npos);
}

TEST_F(PdlDialogTest, CancelWritesNothing) {
    WriteFile(SaveOptionFile(), "[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=0\n");
    PdlCutCondition record;
    ASSERT_EQ(ReadPdlCutTable("MC01", "SPCC1.6", 0, record), 0);  // creates the file
    const std::string before = ReadFile(ConditionFile(install_, "MC01", "SPCC1.6"));
    const int result = Run(0, [](QWidget* dialog) {
        Apply(dialog, 0, "99");
        Box(dialog, 1046)->click();
        Click(dialog, "2");
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(ConditionFile(install_, "MC01", "SPCC1.6")), before);
    EXPECT_EQ(ReadFile(SaveOptionFile()), "[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=0\n");
}

TEST_F(PdlDialogTest, MissingMachineListOpensEmptyWithoutFileAndMasterOkFails) {
    std::filesystem::remove(install_.DataFolder() / "machine.ini");
    const auto closeEmpty = [](QWidget* dialog) {
        EXPECT_EQ(List(dialog)->model()->rowCount(), 0);
        dialog->close();  // closing the window is Cancel
    };
    EXPECT_EQ(Run(0, closeEmpty), -1);
    EXPECT_EQ(Run(0, [](QWidget* dialog) { Click(dialog, "1"); }), 0);  // OK still saves
    EXPECT_EQ(Table(0).slot[5], DistinctRecord(0).slot[5]);
    std::filesystem::remove(install_.DataFolder() / "PDL_CUT_MASTER.ini");
    EXPECT_EQ(Run(
                  0, [](QWidget* dialog) { Click(dialog, "1"); }, "SS400"),
              -1);
    EXPECT_FALSE(std::filesystem::exists(ConditionFile(install_, "MC01", "SS400")));
}

TEST_F(PdlDialogTest, InvalidArgumentsShowNoDialog) {
    for (const auto& [machine, type, material, table] : {std::tuple{"MC01", 13999, "M", 0},
                                                         {"MC01", 11999, "M", 0},
                                                         {"MC01", 12000, "M", 13},
                                                         {"", 12000, "M", 0},
                                                         {"MC01", 12000, "a/b", 0}}) {
        EXPECT_EQ(RunPdlLaserCondDialog(machine, type, material, table), -2);
    }
    EXPECT_FALSE(std::filesystem::exists(install_.DataFolder() / "PDL_MACTYPE_ALIAS.ini"));
}

}  // namespace
}  // namespace quillet::pdl
