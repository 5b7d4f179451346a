// Dialog 129: edits one PDL cutting-condition table of a machine and laser
// material, showing the parameters the machine uses, with the value box,
// in-place editing of the value column and the save options.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <array>
#include <string>

#include "pdl/pdl_save_options.h"
#include "pdl/pdl_table.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace quillet::pdl {

// The work of SddPDLOthMacLasCutDLG: -2 for invalid arguments (no dialog);
// -1 when no GUI is possible (nothing shown); otherwise the dialog's result:
// 0 after a successful opening or save, -1 when the opening or the save
// failed.
int RunPdlLaserCondDialog(const char* machineName, int machineType, const char* materialName,
                          int tableIndex);

// The list model over the module-level shown rows: row i is shown row i,
// column 0 the value text, column 1 the label. setData(EditRole) on column
// 0 is the in-place edit (atof of the text).
class CPdlParamModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void Reload();
    void RowChanged(int row);

signals:
    void ValueEdited(int row);
};

class CPdlLaserCondDlg final : public QDialog {
    Q_OBJECT
public:
    CPdlLaserCondDlg(std::string machineName, int machineId, std::string materialName,
                     int tableIndex, QWidget* parent = nullptr);

    // Fills the controls, loads the table and the save options (opening).
    void Initialize();
    int Result() const { return result_; }

private:
    void BuildControls();
    void ApplyValueBox();
    void ItemChanged(int row);
    void InPlaceEditEnded();
    void UpdatePdlSaveOptionBoxes();
    PdlSaveOptions SaveOptionsFromBoxes() const;
    void SetSaveOptionBoxes(const PdlSaveOptions& options);
    void Save();

    std::string machineName_;
    int machineId_;
    std::string materialName_;
    int tableIndex_;
    int result_ = 0;
    int currentRow_ = 0;
    bool tableLoaded_ = false;

    QLineEdit* machineEdit_ = nullptr;
    QLineEdit* materialEdit_ = nullptr;
    QLineEdit* conditionEdit_ = nullptr;
    QTableView* list_ = nullptr;
    CPdlParamModel* model_ = nullptr;
    QLineEdit* valueEdit_ = nullptr;
    QPushButton* applyButton_ = nullptr;
    QLabel* description_ = nullptr;
    QCheckBox* saveSwitch_ = nullptr;
    std::array<QCheckBox*, kPdlTableCount> tableBoxes_{};
};

}  // namespace quillet::pdl
