// Dialog 129: its edit object without a display, and the dialog offscreen
// with OK and Cancel (keys, focus, layout measured against the font).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include "frame/gui_qt.h"
#include "frame/resources.h"
#include "pdl/pdl_files.h"
#include "pdl/pdl_laser_dialog.h"
#include "pdl_test_support.h"
#include "resource_set.h"
#include "support/on_modal.h"

namespace quillet::pdl {
namespace {

using quillet::testing::Child;
using quillet::testing::Click;
using quillet::testing::OnModal;
using quillet::testing::PressKey;
using quillet::testing::ReadFile;
using quillet::testing::TempInstallation;
using quillet::testing::WriteFile;
using testing::ConditionFile;
using testing::DistinctRecord;

class PdlLaserEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame::UseResourceSet(frame::BuiltinResourceSet());
        testing::WriteMaster(install_);
        // Slots 0, 3, 4 and 84, the longest label.
        testing::WriteMachineList(install_, 60, "10011" + std::string(79, '0') + "1", "0101");
    }
    PdlCutCondition Table(int table, const std::string& material = "SPCC1.6") {
        return testing::TableOf(ConditionFile(install_, "MC01", material), table);
    }
    std::filesystem::path SaveOptionFile() const {
        return install_.DataFolder() / "PDL_CUT_SAVEOPT.ini";
    }
    static PdlSaveOptions Options(int saveSwitch, std::initializer_list<int> on) {
        PdlSaveOptions options;
        options.saveSwitch = saveSwitch;
        for (int t : on) options.tables[t] = 1;
        return options;
    }

    TempInstallation install_;
};

TEST_F(PdlLaserEditTest, OpensTheMachinesParametersAppliesAndSavesTheEditedTableOnly) {
    PdlLaserEdit edit("MC01", 60, "SPCC1.6", 0);
    ASSERT_TRUE(edit.Open());
    ASSERT_EQ(edit.ShownCount(), 4);
    EXPECT_EQ(edit.Shown(1).label, frame::ResourceString(209));
    EXPECT_EQ(edit.ValueText(1), "3");
    EXPECT_EQ(edit.Description(2), frame::ResourceString(404));
    EXPECT_FALSE(edit.SelectRow(4));
    ASSERT_TRUE(edit.SelectRow(0));
    EXPECT_TRUE(edit.Apply("1500.5"));
    EXPECT_EQ(edit.ValueText(0), "1500.5");
    EXPECT_TRUE(edit.SelectRow(2));
    EXPECT_TRUE(edit.Apply("abc"));  // letters store 0
    EXPECT_TRUE(edit.EditInPlace(1, "2.000"));
    EXPECT_EQ(edit.ValueText(1), "2");
    EXPECT_TRUE(edit.Apply(std::string(49, '1') + "9"));  // the box holds 49 bytes
    EXPECT_EQ(edit.Shown(2).value, static_cast<float>(1.1111111111111111e48));
    EXPECT_TRUE(edit.Apply("0"));
    EXPECT_FALSE(edit.EditInPlace(4, "5"));
    EXPECT_TRUE(edit.Save(Options(0, {1, 2})));
    PdlCutCondition expected = DistinctRecord(0);
    expected.slot[0] = 1500.5f;
    expected.slot[3] = 2.0f;
    expected.slot[4] = 0.0f;
    const PdlCutCondition saved = Table(0);
    for (int i = 0; i < kPdlParamCount; ++i) EXPECT_EQ(saved.slot[i], expected.slot[i]) << i;
    for (int t = 1; t < kPdlTableCount; ++t) EXPECT_EQ(Table(t).slot[0], DistinctRecord(t).slot[0]);
    EXPECT_FALSE(std::filesystem::exists(SaveOptionFile()));  // never created
}

TEST_F(PdlLaserEditTest, SaveOptionsPickTheTablesOfTheGroupAndAreStored) {
    WriteFile(SaveOptionFile(), "[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_L=1\n");
    PdlLaserEdit edit("MC01", 60, "SPCC1.6", 0);
    ASSERT_TRUE(edit.Open());
    EXPECT_EQ(edit.LoadedSaveOptions().saveSwitch, 1);
    EXPECT_EQ(edit.LoadedSaveOptions().tables[1], 1);
    edit.Apply("7");
    EXPECT_TRUE(edit.Save(Options(1, {1, 10})));
    EXPECT_EQ(Table(0).slot[0], DistinctRecord(0).slot[0]);  // own box off
    EXPECT_EQ(Table(1).slot[0], 7.0f);
    EXPECT_EQ(Table(1).slot[1], DistinctRecord(0).slot[1]);  // the whole record of K
    EXPECT_EQ(Table(10).slot[0], DistinctRecord(10).slot[0]);
    const std::string options = ReadFile(SaveOptionFile());
    EXPECT_NE(options.find("OnOff_SaveOpt_K=0\n"), std::string::npos);
    EXPECT_NE(options.find("OnOff_SaveOpt_P101=1\n"), std::string::npos);
}

TEST_F(PdlLaserEditTest, FailedOpeningsShowNothingAndASaveWithoutTableWritesNothing) {
    std::filesystem::remove(install_.DataFolder() / "machine.ini");
    PdlLaserEdit noList("MC01", 60, "SPCC1.6", 0);
    EXPECT_FALSE(noList.Open());
    EXPECT_TRUE(noList.Failed());
    EXPECT_EQ(noList.ShownCount(), 0);
    EXPECT_FALSE(noList.Apply("5"));
    EXPECT_TRUE(noList.Save(Options(0, {})));  // the table was read: it is saved
    EXPECT_FALSE(noList.Failed());
    EXPECT_EQ(Table(0).slot[5], DistinctRecord(0).slot[5]);
    std::filesystem::remove(install_.DataFolder() / "PDL_CUT_MASTER.ini");
    PdlLaserEdit noFile("MC01", 60, "SS400", 0);
    EXPECT_FALSE(noFile.Open());
    EXPECT_FALSE(noFile.Save(Options(0, {})));
    EXPECT_FALSE(std::filesystem::exists(ConditionFile(install_, "MC01", "SS400")));
}

// The dialog, with the stand-in machine list above.
class PdlDialogTest : public PdlLaserEditTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(frame::EnsureApplication());
        PdlLaserEditTest::SetUp();
    }
    static QTableView* List(QDialog& dialog) { return Child<QTableView>(dialog, "1028"); }
    static QString Cell(QDialog& dialog, int row, int column) {
        return List(dialog)->model()->index(row, column).data().toString();
    }
    static void Select(QDialog& dialog, int row, int column = 0) {
        QTableView* list = List(dialog);
        list->selectionModel()->setCurrentIndex(list->model()->index(row, column),
                                                QItemSelectionModel::ClearAndSelect);
    }
};

TEST_F(PdlDialogTest, OkRunShowsEverythingWholeAndSaves) {
    for (const QuilletResourceSet* set :
         {QuilletGetBuiltinResourceSet(), QuilletGetResourceSet()}) {
        frame::UseResourceSet(set);
        OnModal modal("129", [](QDialog& dialog) {
            EXPECT_EQ(Child<QLineEdit>(dialog, "1011")->text(), "MC01");
            EXPECT_EQ(Child<QLineEdit>(dialog, "1012")->text(), "SJあX");  // Shift-JIS bytes
            EXPECT_EQ(Child<QLineEdit>(dialog, "1013")->text(), "K");
            EXPECT_EQ(dialog.focusWidget(), List(dialog));
            EXPECT_TRUE(Child<QPushButton>(dialog, "1001")->isDefault());
            QTableView* list = List(dialog);
            ASSERT_EQ(list->model()->rowCount(), 4);
            EXPECT_EQ(list->horizontalHeader()->visualIndex(1), 0);  // label on the left
            EXPECT_FALSE(list->horizontalHeader()->sectionsClickable());
            // Every label whole, and as the row's tooltip.
            for (int row = 0; row < 4; ++row) {
                const QString label = Cell(dialog, row, 1);
                EXPECT_GE(list->columnWidth(1), list->fontMetrics().horizontalAdvance(label))
                    << row;
                EXPECT_EQ(list->model()->index(row, 0).data(Qt::ToolTipRole).toString(), label);
            }
            // The value box shows "-99999.999" without scrolling.
            auto* value = Child<QLineEdit>(dialog, "1000");
            value->setText("-99999.999");
            value->setCursorPosition(0);
            const int start = value->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
            value->setCursorPosition(value->text().size());
            EXPECT_GE(value->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x() - start,
                      value->fontMetrics().horizontalAdvance(value->text()) - 1);
            // The gas codes wrap and show all their lines.
            Select(dialog, 2, 1);
            auto* description = Child<QLabel>(dialog, "1047");
            EXPECT_TRUE(description->wordWrap());
            EXPECT_EQ(description->text().toStdString(), frame::ResourceString(404));
            EXPECT_GE(description->height(), description->heightForWidth(description->width()));
            // F2 on the label cell edits the value; Enter commits it and stays.
            PressKey(list, Qt::Key_F2);
            auto* editor = list->viewport()->findChild<QLineEdit*>();
            ASSERT_NE(editor, nullptr);
            EXPECT_EQ(editor->geometry().center(),
                      list->visualRect(list->model()->index(2, 0)).center());
            editor->setText("2.000");
            QTest::keyClick(editor, Qt::Key_Return);
            QTest::qWait(20);
            EXPECT_EQ(Cell(dialog, 2, 0), "2");
            EXPECT_EQ(value->text(), "2");
            // Enter in the value box applies it.
            Select(dialog, 0);
            value->setText("1500.5");
            PressKey(value, Qt::Key_Return);
            EXPECT_EQ(Cell(dialog, 0, 0), "1500.5");
            EXPECT_TRUE(dialog.isVisible());
            PressKey(Child<QWidget>(dialog, "1"), Qt::Key_Enter);  // keypad Enter on OK
        });
        const std::string material = "SJ\x82\xa0X";
        EXPECT_EQ(RunPdlLaserCondDialog("MC01", 13300, material.c_str(), 0), 0);
        EXPECT_TRUE(modal.Ran());
        EXPECT_EQ(Table(0, material).slot[0], 1500.5f);
        EXPECT_EQ(Table(0, material).slot[4], 2.0f);
    }
}

TEST_F(PdlDialogTest, CancelRunWritesNothing) {
    WriteFile(SaveOptionFile(), "[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_P101=1\n");
    PdlCutCondition record;
    ASSERT_EQ(ReadPdlCutTable("MC01", "SPCC1.6", 11, record), 0);  // creates the file
    const std::string before = ReadFile(ConditionFile(install_, "MC01", "SPCC1.6"));
    OnModal modal("129", [](QDialog& dialog) {
        for (int id = 1033; id <= 1045; ++id) {
            EXPECT_EQ(Child<QCheckBox>(dialog, std::to_string(id))->isVisible(), id >= 1043) << id;
        }
        EXPECT_TRUE(Child<QCheckBox>(dialog, "1043")->isChecked());
        PressKey(Child<QWidget>(dialog, "1046"), Qt::Key_Space);  // the switch goes off
        for (int id = 1033; id <= 1045; ++id) {
            EXPECT_FALSE(Child<QCheckBox>(dialog, std::to_string(id))->isVisible()) << id;
        }
        Select(dialog, 0);
        Child<QLineEdit>(dialog, "1000")->setText("99");
        PressKey(Child<QWidget>(dialog, "1001"), Qt::Key_Return);  // Enter on apply
        EXPECT_EQ(Cell(dialog, 0, 0), "99");
        PressKey(Child<QWidget>(dialog, "2"), Qt::Key_Return);  // Enter on Cancel
    });
    EXPECT_EQ(RunPdlLaserCondDialog("MC01", 13300, "SPCC1.6", 11), 0);
    EXPECT_TRUE(modal.Ran());
    EXPECT_EQ(ReadFile(ConditionFile(install_, "MC01", "SPCC1.6")), before);
    EXPECT_EQ(ReadFile(SaveOptionFile()),
              "[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_P101=1\n");
}

}  // namespace
}  // namespace quillet::pdl
