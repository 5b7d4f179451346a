// The grid model on the in-memory sheet: cell texts and ranges, the row
// count rule, check pictures, option groups and their clicks.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <limits>

#include "driver_ui/memory_sheet.h"
#include "driver_ui/spread_grid.h"

namespace quillet::driver_ui {
namespace {

TEST(SpreadGridTest, ValueCellsTakeTheirTextAndRangeOutsideShowsTheMinimum) {
    const struct {
        int minimum, maximum, value;
        const char* text;
    } integers[] = {
        {-99999, 99999, 123, "123"},       {-99999, 99999, 7, "07"},
        {-99999, 99999, -3, "-3"},         {-99999, 99999, 99999, "99999"},
        {-99999, 99999, 100000, "-99999"}, {0, 10, -1, "00"},
    };
    for (const auto& row : integers) {
        CMemorySheet sheet(4, 99);
        CSpreadGrid grid(sheet);
        grid.SetIntegerCell(3, 2, row.minimum, row.maximum, row.value);
        EXPECT_EQ(sheet.Value(3, 2), row.text) << row.value;
        EXPECT_EQ(sheet.CellTypeAt(3, 2), kCellInteger);
        EXPECT_EQ(sheet.Find(3, 2)->integerMin, row.minimum);
        EXPECT_EQ(sheet.Find(3, 2)->integerMax, row.maximum);
        EXPECT_EQ(grid.HighestRowUsed(), 2);
    }
    const std::pair<double, const char*> reals[] = {
        {1.5, "1.500000"},
        {99999.9999, "99999.999900"},
        {100000.0, "-99999.999900"},
        {-100000.0, "-99999.999900"},
        {std::numeric_limits<double>::quiet_NaN(), "-99999.999900"},
    };
    for (const auto& [value, text] : reals) {
        CMemorySheet sheet(4, 99);
        CSpreadGrid grid(sheet);
        grid.SetRealCell(4, 1, 4, -99999.9999, 99999.9999, value);
        EXPECT_EQ(sheet.Value(4, 1), text) << value;
        EXPECT_EQ(sheet.CellTypeAt(4, 1), kCellReal);
        EXPECT_EQ(sheet.Find(4, 1)->decimals, 4);
    }
}

TEST(SpreadGridTest, RowCountNeverExceedsTheRowsSetUp) {
    CMemorySheet sheet(4, 99);
    CSpreadGrid grid(sheet);
    for (int row = 1; row <= 3; ++row) grid.SetTextCell(2, row, "item", 0);
    grid.SetRowCount(5);
    EXPECT_EQ(sheet.RowCount(), 3);
    grid.SetRowCount(2);
    EXPECT_EQ(sheet.RowCount(), 2);
    grid.SetRowCount(5);  // the highest row used was lowered with it
    EXPECT_EQ(sheet.RowCount(), 2);
    grid.SetRowCount(0);
    EXPECT_EQ(sheet.RowCount(), 0);
    // Scroll bar pages are reset and the sheet refreshed.
    EXPECT_EQ(grid.ResetScrollBarPages(), 1);
    EXPECT_EQ(sheet.PageResets(), 1);
    EXPECT_EQ(sheet.Refreshes(), 1);
}

TEST(SpreadGridTest, CheckAndOptionCellsCarryTheirPictures) {
    CMemorySheet sheet(7, 99);
    CSpreadGrid grid(sheet);
    EXPECT_EQ(grid.SetCheckCell(1, 1, 1), 1);
    EXPECT_EQ(grid.SetCheckCell(1, 2, 2), 1);
    EXPECT_EQ(grid.SetCheckCell(1, 3, 0), 1);
    EXPECT_EQ(grid.SetOptionCell(5, 3, 1), 1);
    EXPECT_EQ(sheet.Value(1, 1), "1");
    EXPECT_EQ(sheet.Value(1, 2), "0");  // only 1 checks the box
    EXPECT_EQ(sheet.Value(1, 3), "0");
    EXPECT_EQ(sheet.Find(1, 1)->pictures, (CellPictures{161, 162, 163, 164}));
    EXPECT_EQ(sheet.Find(5, 3)->pictures, (CellPictures{157, 158, 159, 160}));
    EXPECT_TRUE(sheet.Find(5, 3)->centred);
    EXPECT_EQ(sheet.CellTypeAt(5, 3), kCellCheck);
    EXPECT_EQ(sheet.PicturesLoaded(), 8);  // each picture is created once
}

TEST(SpreadGridTest, AMissingPictureLeavesABareCheckCell) {
    CMemorySheet sheet(4, 99);
    sheet.FailPicture(163);
    CSpreadGrid grid(sheet);
    EXPECT_EQ(grid.SetCheckCell(1, 4, 1), 0);
    EXPECT_EQ(sheet.CellTypeAt(1, 4), kCellCheck);
    EXPECT_EQ(sheet.Value(1, 4), "");
    EXPECT_EQ(grid.HighestRowUsed(), 0);
    // The option pictures are a set of their own.
    EXPECT_EQ(grid.SetOptionCell(2, 1, 1), 1);
}

TEST(SpreadGridTest, TextAndBlankCellsAndHeaders) {
    CMemorySheet sheet(4, 99);
    CSpreadGrid grid(sheet);
    grid.SetTextCell(2, 1, "Pierce time", 0);
    EXPECT_EQ(sheet.CellTypeAt(2, 1), kCellStatic);
    EXPECT_TRUE(sheet.Locked(2, 1));
    grid.SetTextCell(2, 2, "free", 7);
    EXPECT_EQ(sheet.CellTypeAt(2, 2), kCellEdit);
    EXPECT_FALSE(sheet.Locked(2, 2));
    grid.SetBlankCell(4, 3);
    EXPECT_EQ(sheet.CellTypeAt(4, 3), kCellStatic);
    EXPECT_TRUE(sheet.Locked(4, 3));
    EXPECT_EQ(sheet.Value(4, 3), "");
    EXPECT_EQ(grid.HighestRowUsed(), 3);

    EXPECT_FALSE(sheet.ColumnHeadersShown());
    grid.SetColumnHeader(1, "On/Off");
    EXPECT_TRUE(sheet.ColumnHeadersShown());
    EXPECT_EQ(sheet.Text(1, 0), "On/Off");

    grid.LockAllCells(true);
    EXPECT_TRUE(sheet.Locked(2, 2));
    grid.LockAllCells(false);
    EXPECT_FALSE(sheet.Locked(2, 1));
}

TEST(SpreadGridTest, SheetFontFollowsTheCodePage) {
    const char* previous = std::getenv("LC_ALL");
    const std::string saved = previous != nullptr ? previous : "";
    CMemorySheet sheet(3, 99);
    CSpreadGrid grid(sheet);
    ::setenv("LC_ALL", "C.UTF-8", 1);
    grid.SetSheetFont();
    EXPECT_EQ(sheet.FontName(), "Arial");
    EXPECT_FLOAT_EQ(sheet.FontPoints(), 9.0f);
    ::setenv("LC_ALL", "ja_JP.UTF-8", 1);
    grid.SetSheetFont();
    EXPECT_EQ(sheet.FontName(), "ＭＳ ゴシック");
    previous != nullptr ? ::setenv("LC_ALL", saved.c_str(), 1) : ::unsetenv("LC_ALL");
}

// Rows 1 and 2 with option cells in columns 5 to 7, a check cell in 1 and 9.
class OptionGroupTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int row = 1; row <= 2; ++row) {
            grid.SetCheckCell(1, row, 0);
            for (int column = 5; column <= 7; ++column)
                grid.SetOptionCell(column, row, column == 6);
            grid.SetCheckCell(9, row, 0);
        }
    }
    CMemorySheet sheet{9, 99};
    CSpreadGrid grid{sheet};
};

TEST_F(OptionGroupTest, GroupsAreRefusedOrAccepted) {
    grid.SetTextCell(8, 1, "no box", 0);
    EXPECT_EQ(grid.AddOptionGroup(5, 7, 8), 0);  // default outside the group
    EXPECT_EQ(grid.AddOptionGroup(5, 8, 0), 0);  // column 8 is no check box
    EXPECT_EQ(grid.AddOptionGroup(5, 7, 0), 1);
    EXPECT_EQ(sheet.Value(6, 1), "1");  // boxes stay as they are
    EXPECT_EQ(sheet.Value(5, 1), "0");
    EXPECT_EQ(grid.AddOptionGroup(5, 9, 0), 0);  // same first column
    EXPECT_EQ(grid.AddOptionGroup(6, 7, 0), 0);  // same last column
    EXPECT_EQ(grid.OptionGroups().size(), 1u);
}

TEST_F(OptionGroupTest, ADefaultColumnChecksEveryUsedRow) {
    ASSERT_EQ(grid.AddOptionGroup(5, 7, 7), 1);
    for (int row = 1; row <= 2; ++row) {
        for (int column = 5; column <= 7; ++column) {
            EXPECT_EQ(sheet.Value(column, row), column == 7 ? "1" : "0") << column << "," << row;
        }
    }
}

TEST_F(OptionGroupTest, ClicksKeepOneBoxCheckedPerGroupRow) {
    ASSERT_EQ(grid.AddOptionGroup(5, 7, 0), 1);

    sheet.SetValue(7, 2, "1");
    EXPECT_EQ(grid.OnOptionClicked(7, 2, 1), 0);
    EXPECT_EQ(sheet.Value(6, 2), "0");
    EXPECT_EQ(sheet.Value(6, 1), "1");  // other rows untouched
    // Unchecking it again checks it back.
    sheet.SetValue(7, 2, "0");
    EXPECT_EQ(grid.OnOptionClicked(7, 2, 0), 1);
    EXPECT_EQ(sheet.Value(7, 2), "1");
    // Unchecking while another box of the row is checked leaves it off.
    sheet.SetValue(5, 2, "1");
    sheet.SetValue(7, 2, "0");
    EXPECT_EQ(grid.OnOptionClicked(7, 2, 0), 0);
    EXPECT_EQ(sheet.Value(7, 2), "0");

    // Outside every group, and on a cell that is no check box: -1, no change.
    sheet.SetValue(1, 2, "1");
    EXPECT_EQ(grid.OnOptionClicked(1, 2, 1), -1);
    EXPECT_EQ(sheet.Value(1, 2), "1");
    grid.SetTextCell(2, 2, "name", 0);
    EXPECT_EQ(grid.OnOptionClicked(2, 2, 1), -1);
}

}  // namespace
}  // namespace quillet::driver_ui
