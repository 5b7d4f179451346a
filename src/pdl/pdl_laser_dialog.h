// Dialog 129: the view of a PdlLaserEdit. The list shows the parameters the
// machine uses, with the value box, in-place editing of the value and the
// save options.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <array>

#include "frame/entry_view_qt.h"
#include "pdl/pdl_laser_edit.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillet::pdl {

// The work of SddPDLOthMacLasCutDLG once its arguments are checked: true
// after OK or Cancel; false when no GUI is possible (nothing shown) or the
// opening or the save failed.
bool RunPdlLaserCondDialog(const char* machineName, int machineType, const char* materialName,
                           int tableIndex);

// The list model over the edit's shown rows: row i is shown row i, column 0
// the value text, column 1 the label (both with the full label as tooltip).
// setData(EditRole) on column 0 is the in-place edit; a text that is no
// value (PdlLaserEdit::CheckValue) is refused (false, the value stays).
class CPdlParamModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    CPdlParamModel(PdlLaserEdit& edit, QObject* parent)
        : QAbstractTableModel(parent), edit_(edit) {}

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

private:
    PdlLaserEdit& edit_;
};

// The list 1028, worked from the keyboard as frame::EntryTableView says, with
// Home and End as in a list; in-place editing (F2, a click on the selected
// row) always edits the value, whichever cell of the row is current.
class CPdlParamList final : public frame::EntryTableView {
    Q_OBJECT
public:
    explicit CPdlParamList(QWidget* parent);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    // A list: Home and End go to the first and the last parameter.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};

class CPdlLaserCondDlg final : public QDialog {
    Q_OBJECT
public:
    CPdlLaserCondDlg(std::string machineName, int machineId, std::string materialName,
                     int tableIndex, QWidget* parent = nullptr);

    // Opens the edit and fills the controls (opening).
    void Initialize();
    // True after a failed opening or save.
    bool Failed() const { return edit_.Failed(); }

private:
    void BuildControls();
    void FitColumns();
    // False when the value box's text was refused (the box then shows the
    // current row's value again, and a notice says why).
    bool ApplyValueBox();
    void ItemChanged(int row);
    void InPlaceEditEnded();
    void UpdatePdlSaveOptionBoxes();
    PdlSaveOptions SaveOptionsFromBoxes() const;
    void SetSaveOptionBoxes(const PdlSaveOptions& options);
    void Save();

    PdlLaserEdit edit_;
    QLineEdit* machineEdit_ = nullptr;
    QLineEdit* materialEdit_ = nullptr;
    QLineEdit* conditionEdit_ = nullptr;
    CPdlParamList* list_ = nullptr;
    CPdlParamModel* model_ = nullptr;
    QLineEdit* valueEdit_ = nullptr;
    QPushButton* applyButton_ = nullptr;
    QLabel* description_ = nullptr;
    QCheckBox* saveSwitch_ = nullptr;
    std::array<QCheckBox*, kPdlTableCount> tableBoxes_{};
};

}  // namespace quillet::pdl
