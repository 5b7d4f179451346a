// The Qt grid: model invariants, the automation roles, entries within range
// and decimals, clicks through option groups, the keyboard filter.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QSpinBox>
#include <QTest>

#include "driver_ui/driver_setting_grid.h"
#include "driver_ui/qt_spread_sheet.h"
#include "frame/gui_qt.h"

namespace quillet::driver_ui {
namespace {

driver::DriverCondition Item(int id, int valueType, int valueCount, double value1, int timing) {
    return {id, "item " + std::to_string(id), valueType, valueCount, 0, value1, 0.0, timing};
}

class QtSpreadSheetTest : public ::testing::Test {
protected:
    // The sheet below is a widget: the application must exist first.
    static void SetUpTestSuite() { frame::EnsureApplication(); }
    void SetUp() override {
        ASSERT_TRUE(frame::EnsureApplication());
        tester_ = std::make_unique<QAbstractItemModelTester>(
            sheet_.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        grid_.SetupColumns(kLayoutTool);
        grid_.FillGrid({Item(1, 2, 0, 0.0, 0), Item(2, 3, 1, 7.0, 1), Item(3, 4, 1, 1.5, 2)});
        sheet_.Model()->onButtonClicked = [this](int column, int row, int down) {
            grid_.OnOptionClicked(column, row, down);
        };
    }
    QModelIndex At(int column, int row) const { return sheet_.Model()->index(row - 1, column - 1); }

    CQtSpreadSheet sheet_{7, 99};
    CDriverSettingGrid grid_{sheet_};
    std::unique_ptr<QAbstractItemModelTester> tester_;
};

TEST_F(QtSpreadSheetTest, CellsShowTheirTypesTextsAndLocks) {
    QAbstractItemModel* model = sheet_.Model();
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->columnCount(), 7);
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString().toStdString(), grid_.Headers()[2]);
    EXPECT_EQ(At(1, 1).data(kCellTypeRole).toInt(), kCellCheck);
    EXPECT_EQ(At(2, 1).data(kCellTypeRole).toInt(), kCellStatic);
    EXPECT_EQ(At(3, 2).data(kCellTypeRole).toInt(), kCellInteger);
    EXPECT_EQ(At(3, 3).data(kCellTypeRole).toInt(), kCellReal);
    EXPECT_EQ(At(2, 1).data(Qt::DisplayRole).toString(), "item 1");
    EXPECT_EQ(At(3, 2).data(Qt::DisplayRole).toString(), "07");
    EXPECT_EQ(At(3, 2).data(kCellValueRole).toString(), "07");
    EXPECT_EQ(At(3, 3).data(Qt::DisplayRole).toString(), "1.500000");
    EXPECT_EQ(At(7, 3).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_FALSE(At(1, 1).data(Qt::DisplayRole).isValid());
    EXPECT_TRUE(At(4, 2).data(kCellLockedRole).toBool());
    EXPECT_FALSE(At(4, 2).flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(At(3, 2).flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(At(1, 1).flags() & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(At(1, 1).data(Qt::DecorationRole).isNull());
}

TEST_F(QtSpreadSheetTest, EntriesHonourRangeAndDecimals) {
    QAbstractItemModel* model = sheet_.Model();
    struct Row {
        int column, row;
        QVariant entry;
        bool accepted;
        const char* value;  // stored value text afterwards
    };
    const Row rows[] = {
        {3, 3, 12.34567, true, "12.345700"},
        {3, 3, QString("2.5"), true, "2.500000"},
        {3, 3, 100000.0, false, "2.500000"},
        {3, 3, QString("abc"), false, "2.500000"},
        {3, 2, 42, true, "42"},
        {3, 2, QString("-99999"), true, "-99999"},
        {3, 2, 1.5, false, "-99999"},
        {3, 2, 100000, false, "-99999"},
        {2, 2, QString("renamed"), false, "item 2"},  // static text
        {4, 2, 3, false, ""},                         // blank, locked
    };
    for (const Row& row : rows) {
        EXPECT_EQ(model->setData(At(row.column, row.row), row.entry, Qt::EditRole), row.accepted)
            << row.entry.toString().toStdString();
        EXPECT_EQ(sheet_.Value(row.column, row.row), row.value);
    }
    EXPECT_EQ(At(3, 3).data(Qt::DisplayRole).toString(), "2.500000");
    grid_.LockAllCells(true);
    EXPECT_FALSE(model->setData(At(3, 2), 5, Qt::EditRole));
    EXPECT_FALSE(model->setData(At(1, 1), Qt::Checked, Qt::CheckStateRole));
}

TEST_F(QtSpreadSheetTest, ClicksGoThroughTheOptionGroup) {
    QAbstractItemModel* model = sheet_.Model();
    ASSERT_TRUE(model->setData(At(5, 3), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(At(7, 3).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_EQ(At(5, 2).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);  // other row
    ASSERT_TRUE(model->setData(At(5, 3), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(At(5, 3).data(Qt::CheckStateRole).toInt(), Qt::Checked);  // rechecked
    ASSERT_TRUE(model->setData(At(1, 2), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(sheet_.Value(1, 2), "1");
    EXPECT_FALSE(model->setData(At(3, 2), Qt::Checked, Qt::CheckStateRole));
}

TEST_F(QtSpreadSheetTest, SpaceChangesNoCheckBoxButReachesValueCells) {
    sheet_.SetKeyFilter([](int key, int column) {
        return CDriverSettingGrid::DiscardsKey(key == Qt::Key_Space, column);
    });
    sheet_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet_));
    for (int column : {1, 5, 6, 7}) {
        sheet_.setCurrentIndex(At(column, 1));
        const std::string before = sheet_.Value(column, 1);
        QTest::keyClick(&sheet_, Qt::Key_Space);
        EXPECT_EQ(sheet_.Value(column, 1), before) << column;
    }
    sheet_.setCurrentIndex(At(3, 2));
    QTest::keyClick(&sheet_, Qt::Key_Space);
    EXPECT_NE(sheet_.findChild<QSpinBox*>(), nullptr);  // the cell's editor opened
}

}  // namespace
}  // namespace quillet::driver_ui
