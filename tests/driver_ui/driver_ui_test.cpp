// The driver settings dialogs: the grid on the Qt sheet, checked through
// its model (QAbstractItemModelTester watches every change); the edit behind
// the dialogs against files and the stand-in driver (open, save, cancel, the
// laser save options, the common start checks); and the three dialogs driven
// offscreen with keys sent to the focused control (OK and Cancel runs, Tab
// order, typed numbers in any locale, host bytes, minimum size, caption
// 1051).
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <cstdlib>
#include <limits>
#include <memory>
#include <tuple>
#include <vector>

#include "driver/driver_test_support.h"
#include "driver_ui/driver_dialog_run.h"
#include "driver_ui/driver_setting_edit.h"
#include "driver_ui/driver_setting_grid.h"
#include "driver_ui/spread_sheet_model.h"
#include "driver_ui/spread_sheet_view.h"
#include "frame/gui_qt.h"
#include "frame/resources.h"
#include "platform/profile.h"
#include "resource_set.h"
#include "support/ini_value.h"
#include "support/message_recorder.h"
#include "support/on_modal.h"
#include "support/temp_install.h"

namespace quillet::driver_ui {
namespace {

using driver::DriverSettingKind;
using driver::Outcome;
using Opened = DriverSettingEdit::Opened;
using namespace quillet::testing;

// An installation, the sample driver and an application for the dialogs.
class DriverUiTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(frame::EnsureApplication()); }
    fs::path Saved(const std::string& name) const { return install_.DataFolder() / name; }
    fs::path Working(const std::string& name) const { return install_.WorkingFolder() / name; }

    TempInstallation install_;
    TempFolder drivers_;
    const std::string driver_ = kDriver;
    MessageRecorder messages_;
};

driver::DriverCondition Item(int id, int type, int count, int onOff, double v1, double v2 = 0,
                             int timing = 1) {
    using T = driver::DriverValueType;
    return {id, "item " + std::to_string(id), T(type), count, onOff, v1, v2, timing};
}

// Type codes of the automation contract.
constexpr int kTextCode = 1, kRealCode = 2, kIntegerCode = 3, kStaticCode = 5;

class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(frame::EnsureApplication());
        Make(DriverSettingKind::Tool);
    }
    void Make(DriverSettingKind kind) {
        tester_.reset();
        grid_ = new CDriverSettingGrid(kind);  // owned by the view's model
        sheet_ = std::make_unique<SpreadSheetView>(std::unique_ptr<CSpreadGrid>(grid_));
        tester_ = std::make_unique<QAbstractItemModelTester>(
            sheet_->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    QModelIndex At(int column, int row) const {
        return sheet_->Model()->index(row - 1, column - 1);
    }
    std::string Text(int column, int row) const {
        return At(column, row).data(kCellValueRole).toString().toStdString();
    }

    CDriverSettingGrid* grid_ = nullptr;
    std::unique_ptr<SpreadSheetView> sheet_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
};

TEST_F(GridTest, TypedCellsHoldTheirTextsAndShowTheMinimumOutsideTheirRange) {
    const struct {
        int min, max, value;
        const char* text;
    } integers[] = {{-99999, 99999, 123, "123"},       {-99999, 99999, 7, "07"},
                    {-99999, 99999, -3, "-3"},         {-99999, 99999, 99999, "99999"},
                    {-99999, 99999, 100000, "-99999"}, {0, 10, -1, "00"}};
    int row = 0;
    for (const auto& c : integers) {
        grid_->SetIntegerCell(3, ++row, c.min, c.max, c.value);
        EXPECT_EQ(Text(3, row), c.text) << c.value;
        EXPECT_EQ(At(3, row).data(kCellTypeRole).toInt(), kIntegerCode);
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, const char*> reals[] = {{1.5, "1.500000"},
                                                    {99999.9999, "99999.999900"},
                                                    {100000.0, "-99999.999900"},
                                                    {nan, "-99999.999900"}};
    row = 0;
    for (const auto& [value, text] : reals) {
        grid_->SetRealCell(4, ++row, 4, -99999.9999, 99999.9999, value);
        EXPECT_EQ(Text(4, row), text) << value;
        EXPECT_EQ(At(4, row).data(kCellTypeRole).toInt(), kRealCode);
    }
    // Check boxes: square and round pictures.
    EXPECT_TRUE(grid_->SetCheckCell(1, 1, true));
    EXPECT_TRUE(grid_->SetCheckCell(1, 2, false));
    EXPECT_TRUE(grid_->SetOptionCell(5, 2, true));
    EXPECT_EQ(At(1, 1).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(At(1, 2).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_FALSE(At(5, 2).data(Qt::DecorationRole).isNull());
    EXPECT_NE(At(1, 1).data(Qt::DecorationRole), At(5, 2).data(Qt::DecorationRole));
    // Text, static and blank cells; the header row switches on with a header.
    grid_->SetTextCell(2, 1, "Pierce time", false);
    grid_->SetTextCell(2, 2, "free", true);
    grid_->SetBlankCell(6, 6);
    EXPECT_EQ(At(2, 1).data(kCellTypeRole).toInt(), kStaticCode);
    EXPECT_TRUE(At(2, 1).data(kCellLockedRole).toBool());
    EXPECT_EQ(At(2, 2).data(kCellTypeRole).toInt(), kTextCode);
    EXPECT_TRUE(At(2, 2).flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(At(6, 6).flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(sheet_->horizontalHeader()->isHidden());
    grid_->SetColumnHeader(1, "On/Off");
    EXPECT_FALSE(sheet_->horizontalHeader()->isHidden());
    EXPECT_EQ(sheet_->Model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "On/Off");
    // The row count never exceeds the rows set up.
    EXPECT_EQ(grid_->HighestRowUsed(), 6);
    for (const auto& [rows, count] : {std::pair{9, 6}, {2, 2}, {5, 2}, {0, 0}}) {
        grid_->SetRowCount(rows);
        EXPECT_EQ(sheet_->Model()->rowCount(), count) << rows;
    }
}

TEST_F(GridTest, OptionGroupsAreRefusedOrAcceptedAndKeepOneBoxPerRow) {
    for (int row = 1; row <= 2; ++row) {
        grid_->SetCheckCell(1, row, false);
        for (int column = 5; column <= 7; ++column) grid_->SetOptionCell(column, row, column == 6);
    }
    grid_->SetTextCell(4, 1, "no box", false);
    EXPECT_FALSE(grid_->AddOptionGroup(5, 7, 3));  // default outside the group
    EXPECT_FALSE(grid_->AddOptionGroup(4, 7, 0));  // column 4 is no check box
    EXPECT_TRUE(grid_->AddOptionGroup(5, 7, 0));
    EXPECT_FALSE(grid_->AddOptionGroup(5, 6, 0));  // same first column
    EXPECT_FALSE(grid_->AddOptionGroup(6, 7, 0));  // same last column
    EXPECT_EQ(Text(6, 1), "1");                    // boxes stay as they are

    QAbstractItemModel* model = sheet_->Model();
    ASSERT_TRUE(model->setData(At(7, 2), Qt::Checked, Qt::CheckStateRole));  // a user's click
    EXPECT_EQ(Text(6, 2), "0");
    EXPECT_EQ(Text(6, 1), "1");  // other rows untouched
    ASSERT_TRUE(model->setData(At(7, 2), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(Text(7, 2), "1");  // a row keeps one
    using Click = CSpreadGrid::OptionClick;
    EXPECT_EQ(grid_->OnOptionClicked(1, 2, true), Click::Ignored);  // outside every group
    EXPECT_EQ(grid_->OnOptionClicked(4, 1, true), Click::Ignored);  // no check box
    grid_->LockAllCells(true);
    EXPECT_FALSE(model->setData(At(1, 1), Qt::Checked, Qt::CheckStateRole));

    Make(DriverSettingKind::Tool);
    grid_->SetOptionCell(5, 1, false);
    grid_->SetOptionCell(6, 1, true);
    ASSERT_TRUE(grid_->AddOptionGroup(5, 6, 5));
    EXPECT_EQ(Text(5, 1) + Text(6, 1), "10");  // the default column checks every row
}

TEST_F(GridTest, ItemsFillTheColumnsAndReadBack) {
    // Tool: the headers, and the timing columns are one option group.
    grid_->SetupColumns();
    const auto header = [this](int column) {
        return sheet_->Model()
            ->headerData(column, Qt::Horizontal, Qt::DisplayRole)
            .toString()
            .toStdString();
    };
    EXPECT_EQ(header(3), std::string(frame::ResourceString(302)) + "2");
    EXPECT_EQ(header(6), frame::ResourceString(305));
    driver::DriverConditionList tools = {Item(10, 2, 0, 0, 0, 0, 7), Item(11, 3, 1, 1, 4, 0, 2)};
    grid_->FillGrid(tools);
    ASSERT_EQ(grid_->OptionGroups().size(), 1u);
    EXPECT_EQ(Text(5, 1) + Text(6, 1) + Text(7, 1) + Text(7, 2), "0101");  // timing 7: after
    sheet_->Model()->setData(At(5, 2), Qt::Checked, Qt::CheckStateRole);
    grid_->ReadBackGrid(tools);
    EXPECT_EQ(std::pair(tools[0].timing, tools[1].timing), std::pair(1, 0));
    Make(DriverSettingKind::Tool);
    grid_->FillGrid({});
    EXPECT_EQ(sheet_->Model()->rowCount(), 0);
    EXPECT_TRUE(grid_->OptionGroups().empty());

    Make(DriverSettingKind::Cut);
    grid_->SetupColumns();
    driver::DriverConditionList items = {
        Item(1, 2, 0, 1, 0.0),      Item(2, 3, 1, 0, 123.9, 55.0),     Item(3, 3, 2, 2, 7.0, -3.0),
        Item(4, 4, 1, 1, 100000.0), Item(5, 4, 2, 0, 1.5, 99999.9999), Item(6, 3, 1, 0, 1e300)};
    grid_->FillGrid(items);
    EXPECT_EQ(sheet_->Model()->rowCount(), 6);
    const std::tuple<int, int, const char*> texts[] = {
        {1, 1, "1"},  {1, 3, "0"},        {2, 2, "item 2"},   {3, 2, "123"},          {3, 3, "07"},
        {4, 3, "-3"}, {3, 4, "0.000000"}, {3, 5, "1.500000"}, {4, 5, "99999.999900"}, {3, 6, "00"}};
    for (const auto& [column, row, text] : texts)
        EXPECT_EQ(Text(column, row), text) << column << row;
    EXPECT_TRUE(At(4, 2).data(kCellLockedRole).toBool());  // one value: blank column 4

    // Entries as a user's: range and decimals apply, static and blank refuse.
    QAbstractItemModel* model = sheet_->Model();
    const struct {
        int column, row;
        QVariant entry;
        bool accepted;
        const char* text;
    } entries[] = {{3, 5, 12.34567, true, "12.345700"},
                   {3, 5, QString(" 2.5 "), true, "2.500000"},
                   {3, 5, 100000.0, false, "2.500000"},
                   {3, 5, QString("1,5"), false, "2.500000"},  // no comma, either way
                   {3, 5, QString("1e1"), false, "2.500000"},
                   {3, 2, QString("-12.0"), true, "-12"},
                   {3, 2, 42, true, "42"},
                   {3, 2, 1.5, false, "42"},
                   {3, 2, QString("1,000"), false, "42"},
                   {3, 2, 100000, false, "42"},
                   {2, 2, QString("x"), false, "item 2"},
                   {4, 2, 3, false, ""}};
    for (const auto& e : entries) {
        EXPECT_EQ(model->setData(At(e.column, e.row), e.entry, Qt::EditRole), e.accepted)
            << e.entry.toString().toStdString();
        EXPECT_EQ(Text(e.column, e.row), e.text);
    }
    model->setData(At(1, 2), Qt::Checked, Qt::CheckStateRole);
    grid_->ReadBackGrid(items);
    EXPECT_FALSE(model->setData(At(3, 2), 5, Qt::EditRole));  // read with every cell locked
    // A blank column 4 leaves value2; out of range the grid shows and saves 0.
    const Lines back = Describe(items);
    EXPECT_EQ(back[1] + "|" + back[3] + "|" + back[4],
              "2/3/1/item 2 1 42 55 1|4/4/1/item 4 1 0 0 1|5/4/2/item 5 0 2.5 99999.9999 1");
}

TEST_F(DriverUiTest, OpenOverlaysTheSavedSectionAndSaveKeepsOthers) {
    const fs::path saved = Saved("MD_TOOL_MC01_DIE1.ini");
    WriteFile(saved,
              "[MD_TOOL_3]\n11_3OnOff=1\n11_3Value1=42\n11_3Timing=2\n"
              "[MD_TOOL_4]\n11_3Value1=9\n");
    DriverSettingEdit edit(DriverSettingKind::Tool, driver_, "MC01", "DIE1", "3");
    ASSERT_EQ(edit.Load(), Opened::SavedFile);
    EXPECT_TRUE(fs::exists(Working("MD_TOOL_TEMP.ini")));
    ASSERT_EQ(edit.Items().size(), 3u);
    EXPECT_EQ(Describe(edit.Items())[1], "11/3/1/Punch count 1 42 0 2");
    // Another edit saves a section meanwhile: the save starts from it.
    SetIniValue(saved, "MD_TOOL_5", "11_3Value1", "5");
    edit.Items()[1].timing = 0;
    EXPECT_TRUE(edit.Save());
    EXPECT_EQ(IniValue(saved, "MD_TOOL_3", "11_3Timing"), "0");
    EXPECT_EQ(IniValue(saved, "MD_TOOL_4", "11_3Value1"), "9");
    EXPECT_EQ(IniValue(saved, "MD_TOOL_5", "11_3Value1"), "5");
    EXPECT_FALSE(fs::exists(Working("MD_TOOL_TEMP.ini")));
}

TEST_F(DriverUiTest, AFailedCopyBackIsReportedAndKeepsTheSavedFile) {
    DriverSettingEdit edit(DriverSettingKind::Cut, driver_, "MC01", "SPCC1.6", "L");
    ASSERT_EQ(edit.Load(), Opened::NoSavedFile);
    // A folder in place of the saved file: the copy back cannot replace it.
    fs::create_directory(Saved("MD_CUT_MC01_SPCC1.6.ini"));
    EXPECT_FALSE(edit.Save());
    EXPECT_TRUE(fs::is_directory(Saved("MD_CUT_MC01_SPCC1.6.ini")));
    EXPECT_FALSE(fs::exists(Working("MD_CUT_TEMP.ini")));
}

// With the option off only "OnOff_SaveOpt" is stored; the switches of the
// conditions stay as the file holds them (the dialog tests store them on).
TEST(LaserSaveOptionsTest, OptionOffStoresOnlyItsOwnKey) {
    platform::ProfileDocument file = platform::ProfileDocument::FromBytes(
        "/nonexistent/x.ini", "[MD_CUT_SAVEOPT]\nOnOff_SaveOpt=1\nOnOff_SaveOpt_M=1\n");
    StoreLaserSaveOptions(file, 1, LaserSaveOptions{});
    EXPECT_EQ(file.Serialize(), "[MD_CUT_SAVEOPT]\nOnOff_SaveOpt=0\nOnOff_SaveOpt_M=1\n");
    const LaserSaveOptions loaded = LoadLaserSaveOptions(file, 2);
    EXPECT_EQ(std::pair(loaded.saveOption, loaded.switches[2]), std::pair(false, true));
}

TEST(DialogStartTest, DriverFileAndArgumentChecks) {
    // driver, machine, name, start, message 488 shown.
    using Row = std::tuple<const char*, const char*, const char*, DialogStart, bool>;
    const Row rows[] = {
        // the driver file is tested first
        {"/nonexistent/missing.drv", "", "", DialogStart::DriverFileMissing, true},
        {"/", "MC01", "SPCC", DialogStart::DriverFileMissing, true},
        {"", "MC01", "SPCC", DialogStart::DriverFileMissing, true},
        {kDriver.c_str(), "MC01", "", DialogStart::InvalidName, false},
        {kDriver.c_str(), "MC01", "SPCC1.6", DialogStart::Go, false},
    };
    for (const auto& [driverFile, machine, name, status, message] : rows) {
        MessageRecorder recorder;
        EXPECT_EQ(CheckDialogStart(driverFile, {machine, name}), status) << driverFile << name;
        EXPECT_EQ(recorder.Ids(),
                  message ? std::vector<std::string>{"488"} : std::vector<std::string>{});
    }
}

QAbstractItemModel* GridModel(QDialog& dialog) {
    return Child<QAbstractItemView>(dialog, "1050")->model();
}

TEST_F(DriverUiTest, LaserOkSavesTheConditionAndItsCopiesUnderTheHostsBytes) {
    // A material name that is not UTF-8 (Shift-JIS あ) names the file byte for byte.
    const std::string material = "SJ\x82\xa0X";
    OnModal modal("130", [](QDialog& dialog) {
        EXPECT_EQ(Child<QLineEdit>(dialog, "1003")->text(), "SJあX");
        EXPECT_EQ(Child<QLineEdit>(dialog, "1004")->text(), "L");
        auto* view = Child<QTableView>(dialog, "1050");
        EXPECT_EQ(dialog.focusWidget(), view);
        // Tab leaves the grid; with the option off no condition box takes it.
        EXPECT_EQ(FocusWalk(dialog, 2), (std::vector<std::string>{"1046", "1"}));
        EXPECT_EQ(FocusWalk(dialog, 3, Qt::ShiftModifier),
                  (std::vector<std::string>{"1046", "1050", "1004"}));
        EXPECT_FALSE(Visible(dialog, "1033"));  // option off: no condition boxes
        PressKey(Child<QWidget>(dialog, "1046"), Qt::Key_Space);
        for (int id = 1033; id <= 1045; ++id)
            EXPECT_EQ(Visible(dialog, std::to_string(id)), id <= 1042) << id;
        EXPECT_EQ(FocusWalk(dialog, 2), (std::vector<std::string>{"1033", "1034"}));
        Child<QCheckBox>(dialog, "1033")->click();  // K
        Child<QCheckBox>(dialog, "1035")->click();  // M
        Child<QCheckBox>(dialog, "1034")->click();  // L itself: written once
        QAbstractItemModel* grid = view->model();
        ASSERT_EQ(grid->rowCount(), 6);
        // Space switches a box; a number typed is taken by the Tab that leaves.
        view->setCurrentIndex(grid->index(0, 0));
        PressKey(view, Qt::Key_Space);
        view->setCurrentIndex(grid->index(1, 2));
        TypeKeys(dialog, "77");
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(dialog.focusWidget()->objectName(), "1046");
        EXPECT_TRUE(grid->setData(grid->index(2, 3), 0.25, Qt::EditRole));
        PressKey(Child<QWidget>(dialog, "1"), Qt::Key_Enter);  // keypad Enter on OK
    });
    EXPECT_EQ(RunLaserDialog(driver_.c_str(), "MC01", material.c_str(), 1), Outcome::Done);
    EXPECT_TRUE(modal.Ran());
    const fs::path saved = Saved("MD_CUT_MC01_" + material + ".ini");
    for (const char* section : {"MD_CUT_L", "MD_CUT_K", "MD_CUT_M"}) {
        EXPECT_EQ(IniValue(saved, section, "1_2OnOff") + IniValue(saved, section, "2_3Value1") +
                      " " + IniValue(saved, section, "3_4Value2"),
                  "177 0.250000")
            << section;
    }
    EXPECT_EQ(IniValue(saved, "MD_CUT_H", "2_3Value1"), "<missing>");
    const std::pair<const char*, const char*> options[] = {
        {"", "1"}, {"_K", "1"}, {"_L", "1"}, {"_H", "0"}, {"_U5", "0"}, {"_P101", "<missing>"}};
    for (const auto& [key, value] : options) {
        EXPECT_EQ(IniValue(saved, "MD_CUT_SAVEOPT", std::string("OnOff_SaveOpt") + key), value);
    }
    EXPECT_FALSE(fs::exists(Working("MD_CUT_TEMP.ini")));
}

TEST_F(DriverUiTest, LaserP102ShowsItsGroupAndEnterOnCancelKeepsTheFile) {
    const fs::path saved = Saved("MD_CUT_MC01_SPCC1.6.ini");
    const std::string before =
        "[MD_CUT_P102]\n2_3Value1=12\n[MD_CUT_SAVEOPT]\nOnOff_SaveOpt=1\n"
        "OnOff_SaveOpt_K=1\nOnOff_SaveOpt_P101=1\n";
    WriteFile(saved, before);
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
    EXPECT_EQ(RunLaserDialog(driver_.c_str(), "MC01", "SPCC1.6", 11), Outcome::Done);
    EXPECT_TRUE(modal.Ran());
    EXPECT_EQ(ReadFile(saved), before);
    EXPECT_FALSE(fs::exists(Working("MD_CUT_TEMP.ini")));
}

TEST_F(DriverUiTest, ToolGridWorksFromTheKeyboardAndTheCaptionTopsItsColumns) {
    const fs::path saved = Saved("MD_TOOL_MC01_DIE1.ini");
    for (const QuilletResourceSet* set :
         {QuilletGetBuiltinResourceSet(), QuilletGetResourceSet()}) {
        frame::UseResourceSet(set);
        messages_.Clear();
        WriteFile(saved, "[MD_TOOL_3]\n11_3Timing=2\n[MD_TOOL_4]\n11_3Timing=0\n");
        OnModal modal("131", [](QDialog& dialog) {
            EXPECT_EQ(Child<QLineEdit>(dialog, "1004")->text(), "3");
            auto* view = Child<QTableView>(dialog, "1050");
            QAbstractItemModel* grid = view->model();
            // Shrunk as far as it goes, the dialog shows every column, and
            // caption 1051 stands whole above columns 5 to 7.
            dialog.resize(1, 1);
            QTest::qWait(10);
            EXPECT_LE(view->columnViewportPosition(6) + view->columnWidth(6),
                      view->viewport()->width());
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

            // Space switches the timing as a click does.
            EXPECT_EQ(grid->index(1, 6).data(Qt::CheckStateRole).toInt(), Qt::Checked);
            view->setCurrentIndex(grid->index(1, 4));
            PressKey(view, Qt::Key_Space);
            EXPECT_EQ(grid->index(1, 4).data(Qt::CheckStateRole).toInt(), Qt::Checked);
            EXPECT_EQ(grid->index(1, 6).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
            // Numbers go into a plain edit: Enter takes one and stays, Up and
            // Down take one and move; a refused one leaves the cell as it was
            // and the operator on it.
            view->setCurrentIndex(grid->index(1, 2));
            TypeKeys(dialog, "12");
            EXPECT_EQ(view->findChild<QAbstractSpinBox*>(), nullptr);
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Enter);
            EXPECT_EQ(grid->index(1, 2).data().toString(), "12");
            EXPECT_EQ(view->currentIndex(), grid->index(1, 2));
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Down);
            TypeKeys(dialog, "1,5");
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Up);
            EXPECT_EQ(grid->index(2, 2).data().toString(), "0.000000");
            EXPECT_EQ(view->currentIndex(), grid->index(2, 2));
            TypeKeys(dialog, "2.5");
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Up);
            EXPECT_EQ(grid->index(2, 2).data().toString(), "2.500000");
            EXPECT_EQ(view->currentIndex(), grid->index(1, 2));
            // Enter on a cell moves down and stays in the grid; Tab leaves it.
            PressKey(view, Qt::Key_Return);
            EXPECT_EQ(view->currentIndex(), grid->index(2, 2));
            EXPECT_EQ(FocusWalk(dialog, 3), (std::vector<std::string>{"1", "2", "1000"}));
            PressKey(Child<QWidget>(dialog, "1"), Qt::Key_Return);
        });
        EXPECT_EQ(RunToolDialog(driver_.c_str(), "MC01", "DIE1", 3), Outcome::Done);
        EXPECT_TRUE(modal.Ran());
        EXPECT_EQ(messages_.Ids(), std::vector<std::string>{"entry.not_a_number"});
        EXPECT_EQ(IniValue(saved, "MD_TOOL_3", "11_3Timing"), "0");
        EXPECT_EQ(IniValue(saved, "MD_TOOL_3", "11_3Value1") + " " +
                      IniValue(saved, "MD_TOOL_3", "12_4Value1"),
                  "12 2.500000");
        EXPECT_EQ(IniValue(saved, "MD_TOOL_4", "11_3Timing"), "0");
        EXPECT_FALSE(fs::exists(Working("MD_TOOL_TEMP.ini")));
    }
    frame::UseResourceSet(nullptr);
}

TEST_F(DriverUiTest, NcOkWritesThePlainFileWhateverTheLocale) {
    WriteFile(Saved("MD_NC_MC01.ini"), "100_3OnOff=1\n100_3Value1=8\n");
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    OnModal modal("132", [](QDialog& dialog) {
        auto* view = Child<QTableView>(dialog, "1050");
        QAbstractItemModel* grid = view->model();
        EXPECT_EQ(grid->columnCount(), 3);
        EXPECT_EQ(grid->index(0, 2).data().toString(), "08");
        EXPECT_EQ(grid->index(1, 2).data().toString(), "1.500000");
        EXPECT_EQ(dialog.findChild<QLineEdit*>("1003"), nullptr);
        // A point is the decimal mark in every locale; Tab takes the entry
        // and leaves the grid.
        view->setCurrentIndex(grid->index(1, 2));
        PressKey(view, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(dialog.focusWidget());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), "1.5000");
        TypeKeys(dialog, "2.25");
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(FocusWalk(dialog, 3), (std::vector<std::string>{"2", "1000", "1050"}));
        // OK takes an open entry first: a refused one keeps the dialog open.
        view->setCurrentIndex(grid->index(0, 2));
        TypeKeys(dialog, "9x");
        Click(dialog, "1");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(grid->index(0, 2).data().toString(), "08");
        Click(dialog, "1");
    });
    EXPECT_EQ(RunNcDialog(driver_.c_str(), "MC01"), Outcome::Done);
    QLocale::setDefault(before);
    EXPECT_TRUE(modal.Ran());
    EXPECT_EQ(messages_.Ids(), std::vector<std::string>{"entry.not_a_number"});
    EXPECT_EQ(ReadFile(Saved("MD_NC_MC01.ini")),
              "100_3OnOff=1\n100_3Value1=8\n101_4OnOff=0\n101_4Value1=2.250000\n102_3OnOff=0\n"
              "102_3Value1=0\n103_4OnOff=0\n103_4Value1=-99999.999900\n104_4OnOff=0\n"
              "104_4Value1=0.000000\n");
    EXPECT_FALSE(fs::exists(Working("MD_NC_TEMP.ini")));
}

// A driver without items hides the save option and writes nothing; without
// a data or system root no dialog opens. (The start checks: DialogStartTest.)
TEST_F(DriverUiTest, AnEmptyDriverWritesNothingAndAMissingRootOpensNoDialog) {
    const std::string empty = (drivers_.Path() / "empty.drv").string();
    WriteFile(empty, "# a driver that publishes nothing\n");
    OnModal modal("130", [](QDialog& dialog) {
        EXPECT_EQ(GridModel(dialog)->rowCount(), 0);
        EXPECT_FALSE(Visible(dialog, "1046") || Visible(dialog, "1051"));
        Click(dialog, "1");
    });
    EXPECT_EQ(RunLaserDialog(empty.c_str(), "MC01", "SPCC1.6", 0), Outcome::Done);
    EXPECT_TRUE(modal.Ran());
    EXPECT_TRUE(fs::is_empty(install_.DataFolder()) && fs::is_empty(install_.WorkingFolder()));

    OnModal never("132", [](QDialog& dialog) { dialog.reject(); });
    for (const bool dataRoot : {false, true}) {
        TempInstallation noRoot({.dataRoot = dataRoot, .systemRoot = !dataRoot});
        EXPECT_EQ(RunNcDialog(driver_.c_str(), "MC01"), Outcome::Failed);
    }
    EXPECT_FALSE(never.Ran());
}

}  // namespace
}  // namespace quillet::driver_ui
