// The settings grid of the three driver dialogs: the column layout, one row
// per driver setting item, and reading the user's choices back into the
// items.
#pragma once

#include <array>
#include <string>

#include "driver/driver_settings.h"
#include "driver_ui/spread_grid.h"

namespace quillet::driver_ui {

inline constexpr int kGridIntegerMin = driver::kDriverIntegerMin;
inline constexpr int kGridIntegerMax = driver::kDriverIntegerMax;
inline constexpr double kGridRealMin = driver::kDriverRealMin;
inline constexpr double kGridRealMax = driver::kDriverRealMax;
inline constexpr short kGridRealDecimals = 4;

// The grid's columns for a kind: Nc 3 (On/Off, name, value 1), Cut 4 (+
// value 2), Tool 7 (+ the three timing columns).
int ColumnCountOfKind(driver::DriverSettingKind kind);

class CDriverSettingGrid : public CSpreadGrid {
public:
    // The kind's columns and 99 rows until FillGrid; the seven header texts
    // come from the string table (300 to 305).
    explicit CDriverSettingGrid(driver::DriverSettingKind kind);

    // Headers and widths of the kind's columns.
    void SetupColumns();
    // One row per item, the timing option group for 7 columns, and the row
    // count.
    void FillGrid(const driver::DriverConditionList& items);
    // Locks every cell, then takes On/Off, the values and the timing of each
    // row back into its item.
    void ReadBackGrid(driver::DriverConditionList& items);

private:
    void SetValueCell(int column, int row, driver::DriverValueType valueType, double value);
    void ReadValueCell(int column, int row, double& value);

    std::array<std::string, 7> headers_;
};

}  // namespace quillet::driver_ui
