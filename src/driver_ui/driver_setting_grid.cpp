// The settings grid: items to cells and back.
#include "driver_ui/driver_setting_grid.h"

#include <cmath>

#include "frame/resources.h"
#include "frame/setting_values.h"

namespace quillet::driver_ui {

namespace {
constexpr double kWidths[7] = {6.0, 30.5, 10.0, 10.0, 8.0, 8.0, 8.0};
// The rows of the grid as designed, before the items are known.
constexpr int kDesignRows = 99;
}  // namespace

int ColumnCountOfKind(driver::DriverSettingKind kind) {
    switch (kind) {
        case driver::DriverSettingKind::Cut:
            return 4;
        case driver::DriverSettingKind::Tool:
            return 7;
        case driver::DriverSettingKind::Nc:
            return 3;
    }
    return 3;
}

CDriverSettingGrid::CDriverSettingGrid(driver::DriverSettingKind kind)
    : CSpreadGrid(ColumnCountOfKind(kind), kDesignRows) {
    const std::string value(frame::ResourceString(frame::kStringGridValue));
    headers_ = {std::string(frame::ResourceString(frame::kStringGridOnOff)),
                std::string(frame::ResourceString(frame::kStringGridName)),
                value + "1",
                value + "2",
                std::string(frame::ResourceString(frame::kStringGridJustBefore)),
                std::string(frame::ResourceString(frame::kStringGridJustAfter)),
                std::string(frame::ResourceString(frame::kStringGridAfterLast))};
}

void CDriverSettingGrid::SetupColumns() {
    const int columns = ColumnCount();
    for (int column = 1; column <= columns; ++column) {
        SetColumnHeader(column, headers_[column - 1]);
        SetColumnWidth(column, kWidths[column - 1]);
    }
}

void CDriverSettingGrid::SetValueCell(int column, int row, driver::DriverValueType valueType,
                                      double value) {
    if (valueType == driver::DriverValueType::Integer) {
        // Truncated toward zero; checked as a double first so that huge
        // values and NaN never reach the integer conversion.
        const double truncated = std::trunc(value);
        const int shown = truncated >= kGridIntegerMin && truncated <= kGridIntegerMax
                              ? static_cast<int>(truncated)
                              : 0;
        SetIntegerCell(column, row, kGridIntegerMin, kGridIntegerMax, shown);
    } else if (valueType == driver::DriverValueType::Real) {
        const double shown = value >= kGridRealMin && value <= kGridRealMax ? value : 0.0;
        SetRealCell(column, row, kGridRealDecimals, kGridRealMin, kGridRealMax, shown);
    }
}

void CDriverSettingGrid::FillGrid(const driver::DriverConditionList& items) {
    const int n = ColumnCount();
    int row = 0;
    for (const driver::DriverCondition& item : items) {
        ++row;
        SetCheckCell(1, row, item.onOff == 1);
        SetTextCell(2, row, item.name, false);
        if (item.valueCount <= 0) {
            SetBlankCell(3, row);
            if (n >= 4) SetBlankCell(4, row);
        } else {
            SetValueCell(3, row, item.valueType, item.value1);
        }
        if (item.valueCount >= 2) {
            SetValueCell(4, row, item.valueType, item.value2);
        } else if (item.valueCount >= 1 && n >= 4) {
            SetBlankCell(4, row);
        }
        if (n == 7) {
            const int timing = item.timing >= 0 && item.timing <= 2 ? item.timing : 1;
            for (int t = 0; t < 3; ++t) SetOptionCell(5 + t, row, t == timing);
        }
    }
    if (!items.empty() && n == 7) AddOptionGroup(5, 7, 0);
    SetRowCount(static_cast<int>(items.size()));
}

void CDriverSettingGrid::ReadValueCell(int column, int row, double& value) {
    const CellKind kind = KindAt(column, row);
    if (kind == CellKind::Real) {
        value = frame::CLocaleAtof(CellValue(column, row).c_str());
    } else if (kind == CellKind::Integer) {
        value = frame::CLocaleAtoi(CellValue(column, row).c_str());
    }
}

void CDriverSettingGrid::ReadBackGrid(driver::DriverConditionList& items) {
    LockAllCells(true);
    const int n = ColumnCount();
    const int rows = RowCount();
    for (int row = 1; row <= rows && row <= static_cast<int>(items.size()); ++row) {
        driver::DriverCondition& item = items[row - 1];
        const std::string onOff = CellValue(1, row);
        if (onOff == "1") {
            item.onOff = 1;
        } else if (onOff == "0") {
            item.onOff = 0;
        }
        if (n >= 3) ReadValueCell(3, row, item.value1);
        if (n >= 4) ReadValueCell(4, row, item.value2);
        if (n == 7) {
            for (int column = 5; column <= 7; ++column) {
                if (CellValue(column, row) == "1") item.timing = column - 5;
            }
        }
    }
}

}  // namespace quillet::driver_ui
