// The grid model and the settings grid on the Qt sheet, checked through its
// model (QAbstractItemModelTester watches every change).
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <limits>
#include <memory>

#include "driver_ui/driver_setting_grid.h"
#include "driver_ui/qt_spread_sheet.h"
#include "frame/gui_qt.h"

namespace quillet::driver_ui {
namespace {

using driver::DriverCondition;

DriverCondition Item(int id, int valueType, int valueCount, int onOff, double value1,
                     double value2 = 0.0, int timing = 1) {
    return {id,
            "item " + std::to_string(id),
            static_cast<driver::DriverValueType>(valueType),
            valueCount,
            onOff,
            value1,
            value2,
            timing};
}

class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(frame::EnsureApplication());
        Make(7);
    }
    void Make(int columns) {
        tester_.reset();
        grid_.reset();
        sheet_ = std::make_unique<CQtSpreadSheet>(columns, 99);
        grid_ = std::make_unique<CDriverSettingGrid>(*sheet_);
        tester_ = std::make_unique<QAbstractItemModelTester>(
            sheet_->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        sheet_->Model()->onButtonClicked = [this](int column, int row, int down) {
            grid_->OnOptionClicked(column, row, down);
        };
    }
    QModelIndex At(int column, int row) const {
        return sheet_->Model()->index(row - 1, column - 1);
    }
    std::string Text(int column, int row) const {
        return At(column, row).data(kCellValueRole).toString().toStdString();
    }

    std::unique_ptr<CQtSpreadSheet> sheet_;
    std::unique_ptr<CDriverSettingGrid> grid_;
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
        EXPECT_EQ(At(3, row).data(kCellTypeRole).toInt(), kCellInteger);
    }
    const std::pair<double, const char*> reals[] = {
        {1.5, "1.500000"},
        {99999.9999, "99999.999900"},
        {100000.0, "-99999.999900"},
        {std::numeric_limits<double>::quiet_NaN(), "-99999.999900"}};
    row = 0;
    for (const auto& [value, text] : reals) {
        grid_->SetRealCell(4, ++row, 4, -99999.9999, 99999.9999, value);
        EXPECT_EQ(Text(4, row), text) << value;
        EXPECT_EQ(At(4, row).data(kCellTypeRole).toInt(), kCellReal);
    }
    // Check boxes: only 1 checks; square and round pictures.
    EXPECT_TRUE(grid_->SetCheckCell(1, 1, 1));
    EXPECT_TRUE(grid_->SetCheckCell(1, 2, 2));
    EXPECT_TRUE(grid_->SetOptionCell(5, 2, 1));
    EXPECT_EQ(At(1, 1).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(At(1, 2).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_FALSE(At(5, 2).data(Qt::DecorationRole).isNull());
    EXPECT_NE(At(1, 1).data(Qt::DecorationRole), At(5, 2).data(Qt::DecorationRole));
    // Text, static and blank cells; the header row switches on with a header.
    grid_->SetTextCell(2, 1, "Pierce time", 0);
    grid_->SetTextCell(2, 2, "free", 7);
    grid_->SetBlankCell(6, 6);
    EXPECT_EQ(At(2, 1).data(kCellTypeRole).toInt(), kCellStatic);
    EXPECT_TRUE(At(2, 1).data(kCellLockedRole).toBool());
    EXPECT_EQ(At(2, 2).data(kCellTypeRole).toInt(), kCellEdit);
    EXPECT_TRUE(At(2, 2).flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(At(6, 6).flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(sheet_->ColumnHeadersShown());
    grid_->SetColumnHeader(1, "On/Off");
    EXPECT_TRUE(sheet_->ColumnHeadersShown());
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
        grid_->SetCheckCell(1, row, 0);
        for (int column = 5; column <= 7; ++column) grid_->SetOptionCell(column, row, column == 6);
    }
    grid_->SetTextCell(4, 1, "no box", 0);
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
    EXPECT_EQ(grid_->OnOptionClicked(1, 2, 1), Click::Ignored);  // outside every group
    EXPECT_EQ(grid_->OnOptionClicked(4, 1, 1), Click::Ignored);  // no check box
    grid_->LockAllCells(true);
    EXPECT_FALSE(model->setData(At(1, 1), Qt::Checked, Qt::CheckStateRole));

    Make(7);
    grid_->SetOptionCell(5, 1, 0);
    grid_->SetOptionCell(6, 1, 1);
    ASSERT_TRUE(grid_->AddOptionGroup(5, 6, 5));
    EXPECT_EQ(Text(5, 1) + Text(6, 1), "10");  // the default column checks every row
}

TEST_F(GridTest, ItemsFillTheColumnsAndReadBack) {
    grid_->SetupColumns(driver::DriverSettingKind::Tool);
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(sheet_->Model()
                      ->headerData(column, Qt::Horizontal, Qt::DisplayRole)
                      .toString()
                      .toStdString(),
                  grid_->Headers()[column]);
    }
    Make(4);
    grid_->SetupColumns(driver::DriverSettingKind::Cut);
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
                   {3, 5, QString("2.5"), true, "2.500000"},
                   {3, 5, 100000.0, false, "2.500000"},
                   {3, 5, QString("abc"), false, "2.500000"},
                   {3, 2, 42, true, "42"},
                   {3, 2, 1.5, false, "42"},
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
    EXPECT_EQ(items[1].onOff, 1);
    EXPECT_DOUBLE_EQ(items[1].value1, 42.0);
    EXPECT_DOUBLE_EQ(items[1].value2, 55.0);  // blank column 4 leaves value2
    EXPECT_DOUBLE_EQ(items[3].value1, 0.0);   // out of range: saved as 0.0
    EXPECT_DOUBLE_EQ(items[4].value1, 2.5);
}

TEST_F(GridTest, ToolTimingIsOneGroupAndAnEmptyListHasNone) {
    grid_->SetupColumns(driver::DriverSettingKind::Tool);
    driver::DriverConditionList items = {Item(10, 2, 0, 0, 0.0, 0.0, 7),
                                         Item(11, 3, 1, 1, 4.0, 0.0, 2)};
    grid_->FillGrid(items);
    ASSERT_EQ(grid_->OptionGroups().size(), 1u);
    EXPECT_EQ(Text(5, 1) + Text(6, 1) + Text(7, 1), "010");  // timing 7 shows "just after"
    EXPECT_EQ(Text(7, 2), "1");
    sheet_->Model()->setData(At(5, 2), Qt::Checked, Qt::CheckStateRole);
    grid_->ReadBackGrid(items);
    EXPECT_EQ(items[0].timing, 1);
    EXPECT_EQ(items[1].timing, 0);

    Make(7);
    items.clear();
    grid_->FillGrid(items);
    EXPECT_EQ(sheet_->Model()->rowCount(), 0);
    EXPECT_TRUE(grid_->OptionGroups().empty());
}

}  // namespace
}  // namespace quillet::driver_ui
