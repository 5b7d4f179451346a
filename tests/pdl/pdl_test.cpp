// The PDL tables: the table file format both ways and the display form of
// values; the condition file set (with and without master, delete and copy,
// the working copy) and the save-target rule; the machine-type alias with its
// built-in defaults and the parameter list from the flags texts; dialog 129's
// edit object without a display, and the dialog offscreen with OK and Cancel
// (keys, focus, layout measured against the font).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <cmath>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "frame/gui_qt.h"
#include "frame/resources.h"
#include "pdl/pdl_files.h"
#include "pdl/pdl_laser_dialog.h"
#include "pdl/pdl_machine.h"
#include "pdl/pdl_save_options.h"
#include "pdl/pdl_table.h"
#include "pdl_test_support.h"
#include "resource_set.h"
#include "support/message_recorder.h"
#include "support/on_modal.h"

namespace quillet::pdl {
namespace {

using quillet::testing::Child;
using quillet::testing::FocusWalk;
using quillet::testing::MessageRecorder;
using quillet::testing::OnModal;
using quillet::testing::PressKey;
using quillet::testing::TypeKeys;
using namespace testing;

TEST(PdlTableTest, GoldenSectionBothWaysAndSixDecimals) {
    TempFolder folder;
    const std::string file = (folder.Path() / "out.ini").string();
    PdlCutCondition record;
    for (int i = 0; i < kPdlParamCount; ++i) record.slot[i] = static_cast<float>(i) * 0.25f - 1;
    record.slot[0] = 1500;
    record.slot[1] = -1;
    record.slot[2] = 0.5f;
    record.slot[100] = 42;  // spare slots are never stored
    auto document = platform::ProfileDocument::Load(file);
    WritePdlCutCondition(document, 3, record);
    ASSERT_TRUE(document.Save());
    const std::string golden = std::string(QUILLET_PDL_TEST_DATA) + "/table_h_written.ini";
    EXPECT_EQ(ReadFile(file), ReadFile(golden));
    const PdlCutCondition back = testing::TableOf(golden, 3);
    for (int i = 0; i < kPdlParamCount; ++i) EXPECT_EQ(back.slot[i], record.slot[i]) << i;
    // Below 0.0000005 a value is written as 0.000000 and reads back as 0.
    record.slot[7] = 0.0000001f;
    record.slot[8] = 0.000001f;
    WritePdlCutCondition(document, 0, record);
    ASSERT_TRUE(document.Save());
    EXPECT_EQ(testing::TableOf(file, 0).slot[7], 0.0f);
    EXPECT_FLOAT_EQ(testing::TableOf(file, 0).slot[8], 0.000001f);
}

TEST(PdlTableTest, ReadsKeysByNameInAnyOrderAsAtofDoesAndMinusOneWhenMissing) {
    const auto document =
        platform::ProfileDocument::Load(std::string(QUILLET_PDL_TEST_DATA) + "/table_l_read.ini");
    PdlCutCondition record;
    record.slot.fill(7.0f);
    ReadPdlCutCondition(document, 1, record);
    // Trailing letters and the key's case do not matter, no number and an empty
    // value read 0, leading blanks and an exponent are read, K's GasType is
    // not L's (-1), 87 is the last key and the spare slots stay.
    const std::vector<float> read{record.slot[0], record.slot[1],  record.slot[2], record.slot[3],
                                  record.slot[4], record.slot[87], record.slot[88]};
    EXPECT_EQ(read, (std::vector<float>{12.5f, 0, 0, -300, -1, 5, 7}));
    record.slot.fill(3.0f);
    ReadPdlCutCondition(document, 12, record);  // no section
    for (int i = 0; i < kPdlSlotCount; ++i) {
        ASSERT_EQ(record.slot[i], i < kPdlParamCount ? -1.0f : 3.0f) << i;
    }
}

TEST(PdlValueTest, FormatPdlValueDropsTrailingDecimalZerosOnly) {
    const struct {
        float value;
        const char* shown;
    } rows[] = {
        {1500.0f, "1500"},   {100.0f, "100"},
        {0.5f, "0.5"},       {2.25f, "2.25"},
        {10.1f, "10.1"},     {0.125f, "0.125"},
        {2.9996f, "3"},      {0.0f, "0"},
        {-1.0f, "-1"},       {0.0004f, "0"},
        {-0.0001f, "-0"},    {-0.0f, "-0"},
        {10.0f, "10"},       {1000.5f, "1000.5"},
        {-20.05f, "-20.05"}, {0.0005f, "0.001"},
        {INFINITY, "inf"},   {-3.4028235e38f, "-340282346638528859811704183484516925440"},
    };
    for (const auto& row : rows) EXPECT_EQ(FormatPdlValue(row.value), row.shown) << row.value;
}

TEST(PdlFilesTest, AMissingFileIsCreatedFromTheMasterOnlyIfThereIsOne) {
    TempInstallation install;
    EXPECT_FALSE(ReadPdlTable("MC01", "SPCC1.6", 0));
    EXPECT_TRUE(std::filesystem::is_empty(install.DataFolder()));

    WriteMaster(install);
    PdlCutCondition record = ReadPdlTable("MC01", "SPCC1.6", 4).value();
    EXPECT_EQ(ReadFile(ConditionFile(install, "MC01", "SPCC1.6")),
              ReadFile(install.DataFolder() / "PDL_CUT_MASTER.ini"));
    const PdlCutCondition expected = DistinctRecord(4);
    for (int i = 0; i < kPdlSlotCount; ++i) ASSERT_EQ(record.slot[i], expected.slot[i]) << i;
    // A missing section gives -1 in slots 0-87 and spares 88-127.
    WriteFile(ConditionFile(install, "MC01", "SPCC"), "[PDL_CUT_K]\nPower=5\n");
    record = ReadPdlTable("MC01", "SPCC", 7).value();
    for (int i = 0; i < kPdlSlotCount; ++i) ASSERT_EQ(record.slot[i], i < kPdlParamCount ? -1 : 0);
}

TEST(PdlFilesTest, WritesOnlyTargetTablesAndLeavesNoWorkingCopy) {
    TempInstallation install;
    WriteMaster(install);
    const auto working = install.WorkingFolder() / "PDL_CUT_TEMP.ini";
    WriteFile(working, "stale");  // left behind by others
    ASSERT_TRUE(
        SavePdlTables("MC01", "SPCC", {{10, DistinctRecord(20)}, {12, DistinctRecord(20)}}));
    EXPECT_FALSE(std::filesystem::exists(working));
    for (int t = 0; t < kPdlTableCount; ++t) {
        WriteFile(working, "stale");
        const PdlCutCondition back = ReadPdlTable("MC01", "SPCC", t).value();
        EXPECT_FALSE(std::filesystem::exists(working));
        EXPECT_EQ(back.slot[5], DistinctRecord(t == 10 || t == 12 ? 20 : t).slot[5]) << t;
    }
    // No target: the file is left byte for byte.
    const std::string before = ReadFile(ConditionFile(install, "MC01", "SPCC"));
    ASSERT_TRUE(SavePdlTables("MC01", "SPCC", {}));
    EXPECT_EQ(ReadFile(ConditionFile(install, "MC01", "SPCC")), before);
}

TEST(PdlFilesTest, CopyAndDelete) {
    TempInstallation install;
    WriteFile(ConditionFile(install, "A", "M1"), "[PDL_CUT_K]\nPower=1\n");
    // No master: a missing source or target cannot be prepared.
    EXPECT_FALSE(CopyPdlFile("A", "M1", "B", "M2"));
    EXPECT_FALSE(CopyPdlFile("B", "M2", "A", "M1"));
    EXPECT_FALSE(DeletePdlFile("B", "M2"));
    EXPECT_TRUE(CopyPdlFile("A", "M1", "A", "M1"));  // onto itself: unchanged
    EXPECT_EQ(ReadFile(ConditionFile(install, "A", "M1")), "[PDL_CUT_K]\nPower=1\n");

    WriteMaster(install);
    EXPECT_TRUE(CopyPdlFile("A", "M1", "B", "M2"));
    EXPECT_EQ(ReadFile(ConditionFile(install, "B", "M2")), "[PDL_CUT_K]\nPower=1\n");
    for (int i = 0; i < 2; ++i) {  // master present: done again
        EXPECT_TRUE(DeletePdlFile("B", "M2"));
        EXPECT_FALSE(std::filesystem::exists(ConditionFile(install, "B", "M2")));
    }
}

TEST(PdlFilesTest, APathOver499CharactersTouchesNothing) {
    TempInstallation install;
    WriteMaster(install);
    const std::size_t fixed =
        install.DataRoot().size() + std::string("data/Othmcn/PDL_CUT__M.ini").size();
    const std::string over(500 - fixed, 'n');
    EXPECT_FALSE(ReadPdlTable(over, "M", 0));
    EXPECT_FALSE(CopyPdlFile(over, "M", "B", "M"));
    EXPECT_FALSE(CopyPdlFile("B", "M", over, "M"));
    EXPECT_FALSE(DeletePdlFile(over, "M"));
    EXPECT_FALSE(SavePdlTables(over, "M", {{0, DistinctRecord(20)}}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(install.DataFolder()), {}), 1);
}

TEST(PdlSaveOptionsTest, SaveTargetRule) {
    const struct {
        int edited;
        PdlSaveOptions options;
        std::vector<int> targets;
    } rows[] = {
        {0, Options(false, {1, 2, 11}), {0}},
        {11, Options(false, {}), {11}},
        {0, Options(true, {1}), {1}},  // own box off: K is not written
        {5, Options(true, {0, 5, 9, 10, 12}), {0, 5, 9}},
        {11, Options(true, {0, 5, 10, 12}), {10, 12}},
        {3, Options(true, {10, 11}), {3}},  // nothing of the group: the edited table
    };
    for (const auto& row : rows) {
        EXPECT_EQ(PdlSaveTargets(row.edited, row.options), row.targets) << row.edited;
    }
}

TEST(PdlMachineTest, MissingAliasFileIsCreatedWithTheDefaultsButNeverCompleted) {
    TempInstallation install;
    const auto alias = install.DataFolder() / "PDL_MACTYPE_ALIAS.ini";
    EXPECT_EQ(PdlMachineTypeGet(13300), 60);
    // Every default, in its order, under MAC_ALIAS.
    std::string expected = "[MAC_ALIAS]\n";
    for (const PdlAliasDefault& entry : kPdlAliasDefaults) {
        expected +=
            std::to_string(entry.machineType) + "=" + std::to_string(entry.machineId) + "\n";
    }
    EXPECT_EQ(ReadFile(alias), expected);
    const struct { int type, id; } rows[] = {{11005, 809}, {12002, 820}, {13402, 23}, {11101, 903}};
    for (const auto& row : rows) EXPECT_EQ(PdlMachineTypeGet(row.type), row.id) << row.type;
    for (const int type : {12999, 0}) EXPECT_EQ(PdlMachineTypeGet(type), std::nullopt) << type;
    EXPECT_EQ(ReadFile(alias), expected);

    const std::string edited = "[MAC_ALIAS]\n13300=61\n12001=abc\n12002=-1\n";
    WriteFile(alias, edited);
    EXPECT_EQ(PdlMachineTypeGet(13300), 61);
    EXPECT_EQ(PdlMachineTypeGet(12001), 0);             // not a number
    EXPECT_EQ(PdlMachineTypeGet(12002), std::nullopt);  // stored -1
    EXPECT_EQ(PdlMachineTypeGet(11005), std::nullopt);  // defaults are not written again
    EXPECT_EQ(ReadFile(alias), edited);
}

std::vector<int> ShownSlots(const PdlParamRows& rows) {
    std::vector<int> used;
    for (int i = 0; i < rows.shown.count; ++i) used.push_back(rows.shown.rows[i].slot);
    return used;
}

TEST(PdlMachineTest, FlagsTextSelectsShownParameters) {
    frame::UseResourceSet(frame::BuiltinResourceSet());
    TempInstallation install;
    PdlCutCondition values;
    for (int i = 0; i < kPdlSlotCount; ++i) values.slot[i] = static_cast<float>(i) + 0.5f;
    std::vector<int> first88(kPdlParamCount);
    std::iota(first88.begin(), first88.end(), 0);
    const auto list = [](const std::string& cc, const std::string& pc) {
        return "[Header]\nMachineCount=2\n[Machine1]\nID=7\nCCUsed=1\n[Machine2]\nID=60\nCCUsed=" +
               cc + "\nPCUsed=" + pc + "\n";
    };
    const struct {
        std::string machines;
        int id, table;
        std::vector<int> used;
    } rows[] = {
        {list("1011", "01"), 60, 0, {0, 2, 3}},  // K to U5 read CCUsed
        {list("1011", "01"), 60, 9, {0, 2, 3}},
        {list("1011", "01"), 60, 10, {1}},                  // P101 to P103 read PCUsed
        {list("x1a1", ""), 60, 3, {1, 3}},                  // only "1" marks a parameter
        {list(std::string(100, '1'), ""), 60, 0, first88},  // used up to parameter 87
        {list("1111", ""), 61, 0, {}},                      // an unknown machine
        {"[Machine1]\nID=60\nCCUsed=1111\n", 60, 0, {}},    // no count
        // A matching machine without the key reads the text "-1".
        {"[Header]\nMachineCount=1\n[Machine1]\nID=60\n", 60, 0, {1}},
        {list("1001", ""), 60, 0, {0, 3}},
    };
    PdlParamRows params;
    for (const auto& row : rows) {
        WriteFile(install.DataFolder() / "machine.ini", row.machines);
        ASSERT_TRUE(LoadMachineParams(row.id, row.table, values, params));
        EXPECT_EQ(ShownSlots(params), row.used) << row.machines << " table " << row.table;
    }
    const PdlParamRow &gas = params.shown.rows[1], &spare = params.all[120];
    EXPECT_EQ(std::tie(gas.slot, gas.value, gas.label),
              std::tuple(3, 3.5f, std::string(frame::ResourceString(209))));
    EXPECT_EQ(std::tie(spare.value, spare.label), std::tuple(120.5f, std::string()));
    // Without the list the shown rows stay; all rows are refilled first.
    std::filesystem::remove(install.DataFolder() / "machine.ini");
    values.slot[0] = 42.0f;
    EXPECT_FALSE(LoadMachineParams(60, 0, values, params));
    EXPECT_EQ(params.shown.count, 2);
    EXPECT_EQ(params.all[0].value, 42.0f);
}

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
    EXPECT_TRUE(edit.EditInPlace(1, "2.000"));
    EXPECT_EQ(edit.ValueText(1), "2");
    EXPECT_TRUE(edit.Apply("0"));
    // What is no finite decimal number a float holds is refused, the value kept.
    using namespace std::string_literals;
    for (const std::string& text : {"abc"s, "0,8"s, "1e39"s, "nan"s, "-infinity"s, "0x20"s, ""s,
                                    "1"s + std::string(39, '0')}) {
        EXPECT_FALSE(edit.Apply(text)) << text;
        EXPECT_FALSE(edit.EditInPlace(1, text)) << text;
    }
    EXPECT_EQ(edit.ValueText(2) + edit.ValueText(1), "02");
    EXPECT_FALSE(edit.EditInPlace(4, "5"));
    EXPECT_TRUE(edit.Save(Options(false, {1, 2})));
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
    // Only 1 is on: a missing key reads -1.
    WriteFile(SaveOptionFile(),
              "[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_L=1\nOnOff_SaveOpt_M=2\n");
    PdlLaserEdit edit("MC01", 60, "SPCC1.6", 0);
    ASSERT_TRUE(edit.Open());
    const PdlSaveOptions& loaded = edit.LoadedSaveOptions();
    EXPECT_EQ(std::tuple(loaded.saveSwitch, loaded.tables[0], loaded.tables[1], loaded.tables[2]),
              std::tuple(true, false, true, false));
    edit.Apply("7");
    EXPECT_TRUE(edit.Save(Options(true, {1, 10})));
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
    EXPECT_TRUE(noList.Save(Options(false, {})));  // the table was read: it is saved
    EXPECT_FALSE(noList.Failed());
    EXPECT_EQ(Table(0).slot[5], DistinctRecord(0).slot[5]);
    std::filesystem::remove(install_.DataFolder() / "PDL_CUT_MASTER.ini");
    PdlLaserEdit noFile("MC01", 60, "SS400", 0);
    EXPECT_FALSE(noFile.Open());
    EXPECT_FALSE(noFile.Save(Options(false, {})));
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
    MessageRecorder messages_;
    static QString Cell(QDialog& dialog, int row, int column) {
        return List(dialog)->model()->index(row, column).data().toString();
    }
    static void Select(QDialog& dialog, int row, int column = 0) {
        QTableView* list = List(dialog);
        list->selectionModel()->setCurrentIndex(list->model()->index(row, column),
                                                QItemSelectionModel::ClearAndSelect);
    }
};

TEST_F(PdlDialogTest, OkRunShowsEverythingWholeRefusesWhatIsNoNumberAndSaves) {
    for (const QuilletResourceSet* set :
         {QuilletGetBuiltinResourceSet(), QuilletGetResourceSet()}) {
        frame::UseResourceSet(set);
        messages_.Clear();
        // A save-option file made by hand, without keys: the switch is off.
        WriteFile(SaveOptionFile(), "[PDL_CUT_SAVEOPT]\n");
        OnModal modal("129", [](QDialog& dialog) {
            EXPECT_EQ(Child<QLineEdit>(dialog, "1011")->text(), "MC01");
            EXPECT_EQ(Child<QLineEdit>(dialog, "1012")->text(), "SJあX");  // Shift-JIS bytes
            EXPECT_EQ(Child<QLineEdit>(dialog, "1013")->text(), "K");
            EXPECT_FALSE(Child<QCheckBox>(dialog, "1046")->isChecked());
            QTableView* list = List(dialog);
            EXPECT_EQ(dialog.focusWidget(), list);
            EXPECT_TRUE(Child<QPushButton>(dialog, "1001")->isDefault());
            EXPECT_EQ(FocusWalk(dialog, 5),
                      (std::vector<std::string>{"1000", "1001", "1046", "1", "2"}));
            list->setFocus();
            EXPECT_EQ(FocusWalk(dialog, 1, Qt::ShiftModifier), std::vector<std::string>{"1013"});
            ASSERT_EQ(list->model()->rowCount(), 4);
            for (const auto& [key, row] : {std::pair(Qt::Key_End, 3), std::pair(Qt::Key_Home, 0)}) {
                PressKey(list, key);
                EXPECT_EQ(list->currentIndex().row(), row);
            }
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
            // F2 on the label cell edits the value; Enter takes it and stays.
            // What is no number is refused, the value kept.
            for (const char* typed : {"2.000", "nan"}) {
                PressKey(list, Qt::Key_F2);
                auto* editor = list->viewport()->findChild<QLineEdit*>();
                ASSERT_NE(editor, nullptr);
                EXPECT_EQ(editor->geometry().center(),
                          list->visualRect(list->model()->index(2, 0)).center());
                TypeKeys(dialog, typed);
                QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
                QTest::qWait(20);
                EXPECT_EQ(Cell(dialog, 2, 0), "2");
                EXPECT_EQ(value->text(), "2");
                EXPECT_TRUE(dialog.isVisible());
            }
            // The value box too, where it was typed; OK takes a typed value
            // that was not applied.
            Select(dialog, 0);
            value->setFocus();
            value->selectAll();
            TypeKeys(dialog, "0,8");
            QTest::keyClick(value, Qt::Key_Return);
            EXPECT_EQ(Cell(dialog, 0, 0), value->text());
            value->selectAll();
            TypeKeys(dialog, "1500.5");
            PressKey(Child<QWidget>(dialog, "1"), Qt::Key_Enter);  // keypad Enter on OK
        });
        const std::string material = "SJ\x82\xa0X";
        EXPECT_TRUE(RunPdlLaserCondDialog("MC01", 13300, material.c_str(), 0));
        EXPECT_TRUE(modal.Ran());
        EXPECT_EQ(messages_.Ids(),
                  (std::vector<std::string>{"entry.not_a_number", "entry.not_a_number"}));
        EXPECT_EQ(Table(0, material).slot[0], 1500.5f);
        EXPECT_EQ(Table(0, material).slot[4], 2.0f);
        EXPECT_NE(ReadFile(SaveOptionFile()).find("OnOff_SaveOpt=0\n"), std::string::npos);
    }
}

TEST_F(PdlDialogTest, CancelRunWritesNothing) {
    WriteFile(SaveOptionFile(), "[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_P101=1\n");
    ASSERT_TRUE(ReadPdlTable("MC01", "SPCC1.6", 11));  // creates the file
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
    EXPECT_TRUE(RunPdlLaserCondDialog("MC01", 13300, "SPCC1.6", 11));
    EXPECT_TRUE(modal.Ran());
    EXPECT_EQ(ReadFile(ConditionFile(install_, "MC01", "SPCC1.6")), before);
    EXPECT_EQ(ReadFile(SaveOptionFile()),
              "[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_P101=1\n");
}

}  // namespace
}  // namespace quillet::pdl
