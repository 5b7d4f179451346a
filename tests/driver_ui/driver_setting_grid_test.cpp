// The settings grid on the in-memory sheet: column layouts, items to cells
// and back, the keyboard filter.
#include <gtest/gtest.h>

#include <tuple>

#include "driver_ui/driver_setting_grid.h"
#include "driver_ui/memory_sheet.h"

namespace quillet::driver_ui {
namespace {

using driver::DriverCondition;
using driver::DriverConditionList;

DriverCondition Item(int id, int valueType, int valueCount, int onOff, double value1,
                     double value2 = 0.0, int timing = 1) {
    return {id, "item " + std::to_string(id), valueType, valueCount, onOff, value1, value2, timing};
}

TEST(DriverSettingGridTest, LayoutsSetHeadersAndWidths) {
    struct Row {
        int layout, columns;
        bool headers;
        double lastWidth;
    };
    const Row rows[] = {{kLayoutNc, 3, true, 10.0},
                        {kLayoutCut, 4, true, 10.0},
                        {kLayoutTool, 7, true, 8.0},
                        {5, 3, false, 10.0}};
    for (const Row& row : rows) {
        CMemorySheet sheet(7, 99);
        CDriverSettingGrid grid(sheet);
        grid.SetupColumns(row.layout);
        EXPECT_EQ(sheet.ColumnHeadersShown(), row.headers) << row.layout;
        EXPECT_DOUBLE_EQ(sheet.Width(1), 6.0);
        EXPECT_DOUBLE_EQ(sheet.Width(2), 30.5);
        EXPECT_DOUBLE_EQ(sheet.Width(row.columns), row.lastWidth);
        EXPECT_DOUBLE_EQ(sheet.Width(row.columns + 1), 0.0);
        if (row.headers) {
            EXPECT_EQ(sheet.Text(row.columns, 0), grid.Headers()[row.columns - 1]);
        }
    }
}

TEST(DriverSettingGridTest, CutItemsFillFourColumns) {
    CMemorySheet sheet(4, 99);
    CDriverSettingGrid grid(sheet);
    const DriverConditionList items = {
        Item(1, 2, 0, 1, 0.0),      Item(2, 3, 1, 0, 123.9),           Item(3, 3, 2, 2, 7.0, -3.0),
        Item(4, 4, 1, 1, 100000.0), Item(5, 4, 2, 0, 1.5, 99999.9999), Item(6, 3, 1, 0, 1e300),
    };
    EXPECT_EQ(grid.FillGrid(items), 1);
    EXPECT_EQ(sheet.RowCount(), 6);
    // onOff 2 is no check; out of range shows 0; one value: blank column 4.
    const std::tuple<int, int, const char*> texts[] = {
        {1, 1, "1"},  {1, 3, "0"},        {2, 2, "item 2"},   {3, 2, "123"},          {3, 3, "07"},
        {4, 3, "-3"}, {3, 4, "0.000000"}, {3, 5, "1.500000"}, {4, 5, "99999.999900"}, {3, 6, "00"},
    };
    for (const auto& [column, row, text] : texts) {
        EXPECT_EQ(sheet.Value(column, row), text) << column << "," << row;
    }
    for (int row : {1, 2}) {
        EXPECT_EQ(sheet.CellTypeAt(row == 1 ? 3 : 4, row), kCellStatic);
        EXPECT_TRUE(sheet.Locked(4, row));
    }
    EXPECT_EQ(sheet.FontName(), "Arial");
    EXPECT_FALSE(sheet.ScrollBarsOnlyWhenNeeded());
    EXPECT_EQ(sheet.ScrollBarsShown(), 2);
    EXPECT_TRUE(sheet.Redraw());
    EXPECT_EQ(sheet.PageResets(), 1);
}

TEST(DriverSettingGridTest, ReadBackTakesTheUsersChoices) {
    CMemorySheet sheet(4, 99);
    CDriverSettingGrid grid(sheet);
    DriverConditionList items = {Item(2, 3, 1, 0, 123.9, 55.0), Item(4, 4, 1, 1, 100000.0),
                                 Item(1, 2, 0, 1, 0.0, 0.0)};
    grid.FillGrid(items);
    sheet.SetValue(1, 1, "1");
    sheet.SetValue(1, 3, "x");  // neither 1 nor 0: onOff stays
    grid.ReadBackGrid(items);
    EXPECT_TRUE(sheet.Locked(3, 1));  // read with every cell locked
    EXPECT_EQ(items[0].onOff, 1);
    EXPECT_DOUBLE_EQ(items[0].value1, 123.0);
    EXPECT_DOUBLE_EQ(items[0].value2, 55.0);  // blank column 4 leaves value2
    EXPECT_DOUBLE_EQ(items[1].value1, 0.0);   // saved as 0.0
    EXPECT_EQ(items[2].onOff, 1);
}

TEST(DriverSettingGridTest, ToolTimingIsOneOptionGroupAndEmptyListNone) {
    CMemorySheet sheet(7, 99);
    CDriverSettingGrid grid(sheet);
    DriverConditionList items = {Item(10, 2, 0, 0, 0.0, 0.0, 7), Item(11, 3, 1, 1, 4.0, 0.0, 2)};
    grid.FillGrid(items);
    ASSERT_EQ(grid.OptionGroups().size(), 1u);
    EXPECT_EQ(grid.OptionGroups()[0].firstColumn, 5);
    EXPECT_EQ(sheet.Value(6, 1), "1");  // timing 7 shows "just after"
    EXPECT_EQ(sheet.Value(5, 1), "0");
    EXPECT_EQ(sheet.Value(7, 2), "1");
    EXPECT_EQ(sheet.Find(5, 2)->pictures, kOptionPictures);

    sheet.SetValue(5, 2, "1");
    grid.OnOptionClicked(5, 2, 1);
    EXPECT_EQ(sheet.Value(7, 2), "0");
    grid.ReadBackGrid(items);
    EXPECT_EQ(items[0].timing, 1);
    EXPECT_EQ(items[1].timing, 0);

    // An empty list gives no rows and no group.
    CMemorySheet emptySheet(7, 99);
    CDriverSettingGrid emptyGrid(emptySheet);
    items.clear();
    emptyGrid.FillGrid(items);
    EXPECT_EQ(emptySheet.RowCount(), 0);
    EXPECT_TRUE(emptyGrid.OptionGroups().empty());
    emptyGrid.ReadBackGrid(items);
    EXPECT_TRUE(items.empty());
}

TEST(DriverSettingGridTest, SpaceIsDiscardedOnlyInCheckBoxColumns) {
    for (int column = 0; column <= 8; ++column) {
        const bool checkColumn = column == 1 || (column >= 5 && column <= 7);
        EXPECT_EQ(CDriverSettingGrid::DiscardsKey(true, column), checkColumn) << column;
        EXPECT_FALSE(CDriverSettingGrid::DiscardsKey(false, column));
    }
}

}  // namespace
}  // namespace quillet::driver_ui
