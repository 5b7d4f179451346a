// The frame shared by the three driver settings dialogs (130 laser, 131
// tool, 132 NC creation): machine name, the settings grid "1050", OK "1"
// (commit) and Cancel "2" (the working copy is deleted, the saved file never
// touched). OK and Cancel both leave the result 0; 999 when the setting files
// cannot be located (the dialog is then never shown) or the commit failed.
#pragma once

#include <QDialog>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "driver/driver_settings.h"
#include "driver_ui/driver_setting_edit.h"
#include "driver_ui/driver_setting_grid.h"

class QLineEdit;
class QPushButton;
class QLabel;

class QGridLayout;
class QHBoxLayout;

namespace quillet::driver_ui {

class CQtSpreadSheet;

class CDriverSettingDlg : public QDialog {
    Q_OBJECT
public:
    // templateId 130, 131 or 132 decides the kind and the grid's columns.
    explicit CDriverSettingDlg(int templateId, QWidget* parent = nullptr);
    ~CDriverSettingDlg() override;

    // The host's bytes, used as they are for every file and record.
    void SetDriver(const std::string& driver) { driver_ = driver; }
    void SetMachine(const std::string& machine) { machine_ = machine; }

    // Opens the edit and fills every control. False when the dialog must not
    // be shown (the result is then 999).
    virtual bool Prepare();
    // Prepare, then the modal dialog; returns the result field.
    int Run();

    int Result() const { return result_; }
    driver::DriverSettingKind Kind() const { return kind_; }
    const DriverSettingEdit* Edit() const { return edit_.get(); }
    CDriverSettingGrid* Grid() const { return grid_.get(); }

    void accept() override;  // commit
    void reject() override;  // cancel

protected:
    // The name (edit 1003) and section (edit 1004) bytes; empty for Nc.
    virtual std::string NameText() const { return {}; }
    virtual std::string SectionText() const { return {}; }
    // The open step; readMore reads more from the saved file's working copy.
    // False (the result is then 999) when the edit cannot be opened.
    bool OpenStep(const std::function<void(const std::string&)>& readMore = {});
    // The commit step: reads the grid back and commits the edit.
    void CommitStep(const std::vector<std::string>& furtherSections = {},
                    const std::function<void(platform::ProfileDocument&)>& writeMore = {});
    bool ItemsEmpty() const { return edit_ == nullptr || edit_->Items().empty(); }

    // Bytes as shown: valid UTF-8 as it is, anything else as code page 932.
    static QString Shown(const std::string& bytes);
    // The keyboard order of the controls, top to bottom and left to right;
    // the dialog opens in the grid.
    void SetTabOrderChain(std::initializer_list<QWidget*> widgets);
    // Texts of this template ("130.title" ...).
    QString TemplateText(const char* name) const;
    QLineEdit* MakeReadOnlyEdit(const char* objectName);
    QLabel* MakeLabel(const char* textName);
    // The edits across the top of a dialog, each after its label: the
    // machine name first, then the dialog's own {label, edit} rows.
    QGridLayout* MakeFieldRows(std::initializer_list<std::pair<const char*, QLineEdit*>> more);
    // OK and Cancel, pushed to the right.
    QHBoxLayout* MakeButtonRow();

    int templateId_;
    driver::DriverSettingKind kind_;
    int result_ = 0;
    std::string driver_;
    std::string machine_;
    std::unique_ptr<DriverSettingEdit> edit_;
    CQtSpreadSheet* sheet_;
    std::unique_ptr<CDriverSettingGrid> grid_;
    QLineEdit* machineEdit_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

}  // namespace quillet::driver_ui
