// The frame shared by the three driver settings dialogs (130 laser, 131
// tool, 132 NC creation): machine name, the settings grid "1050", OK "1"
// (commit) and Cancel "2" (the working copy is deleted, the saved file never
// touched). OK and Cancel both leave the result Done; Failed when the setting
// files cannot be located (the dialog is then never shown) or the commit
// failed.
// The tool and NC-creation dialogs add only their layout to it.
#pragma once

#include <QDialog>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "driver/driver_operations.h"
#include "driver/driver_settings.h"
#include "driver_ui/driver_setting_edit.h"
#include "driver_ui/driver_setting_grid.h"

class QLineEdit;
class QPushButton;
class QLabel;

class QGridLayout;
class QHBoxLayout;

namespace quillet::driver_ui {

class SpreadSheetView;

class CDriverSettingDlg : public QDialog {
    Q_OBJECT
public:
    // The kind decides the dialog (Cut 130, Tool 131, Nc 132) and the grid's
    // columns.
    explicit CDriverSettingDlg(driver::DriverSettingKind kind, QWidget* parent = nullptr);
    ~CDriverSettingDlg() override;

    // The host's bytes, used as they are for every file and record.
    void SetDriver(const std::string& driver) { driver_ = driver; }
    void SetMachine(const std::string& machine) { machine_ = machine; }
    // Cut and Tool: the laser material or die layout (edit 1003) and the
    // section, the cutting condition's name or the T number (edit 1004).
    void SetName(const std::string& name);
    void SetSection(const std::string& section);

    // Opens the edit and fills every control. False when the dialog must not
    // be shown (the result is then Failed).
    virtual bool Prepare();
    // Prepare, then the modal dialog; returns the result.
    driver::Outcome Run();

    void accept() override;  // commit
    void reject() override;  // cancel

protected:
    // The open step; readMore reads more from the saved file's working copy.
    // False (the result is then Failed) when the edit cannot be opened.
    bool OpenStep(const std::function<void(const std::string&)>& readMore = {});
    // The commit step: reads the grid back and commits the edit.
    void CommitStep(const std::vector<std::string>& furtherSections = {},
                    const std::function<void(platform::ProfileDocument&)>& writeMore = {});
    bool ItemsEmpty() const { return edit_ == nullptr || edit_->Items().empty(); }
    // Takes the entry of a cell being edited; false when the cell refused it
    // (the operator is back on the cell, told why).
    bool FinishEditing();

    // Bytes as shown: valid UTF-8 as it is, anything else as code page 932.
    static QString Shown(const std::string& bytes);
    // The keyboard order of the controls, top to bottom and left to right;
    // the dialog opens in the grid.
    void SetTabOrderChain(std::initializer_list<QWidget*> widgets);
    // Texts of this template ("130.title" ...).
    QString TemplateText(const char* name) const;
    QLineEdit* MakeReadOnlyEdit(const char* objectName);
    QLabel* MakeLabel(const char* textName);
    // The edits across the top of a Cut or Tool dialog, each after its
    // label: the machine name, the name and the section.
    QGridLayout* MakeFieldRows(const char* nameLabel, const char* sectionLabel);
    // OK and Cancel, pushed to the right.
    QHBoxLayout* MakeButtonRow();

    driver::DriverSettingKind kind_;
    int templateId_;
    driver::Outcome result_ = driver::Outcome::Done;
    std::string driver_;
    std::string machine_;
    std::string name_;
    std::string section_;
    std::unique_ptr<DriverSettingEdit> edit_;
    CDriverSettingGrid* grid_;  // owned by the sheet's model
    SpreadSheetView* sheet_;
    QLineEdit* machineEdit_;
    QLineEdit* nameEdit_ = nullptr;     // 1003, Cut and Tool only
    QLineEdit* sectionEdit_ = nullptr;  // 1004, Cut and Tool only
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

// Dialog 131: the driver's tool conditions of one machine, die layout and T
// number, with the exclusive timing columns 5 to 7 (just before, just after,
// just after the last) under caption 1051.
class CDriverToolDlg final : public CDriverSettingDlg {
    Q_OBJECT
public:
    explicit CDriverToolDlg(QWidget* parent = nullptr);
};

// Dialog 132: the driver's NC-creation settings of one machine, kept in a
// plain file without sections.
class CDriverNcDlg final : public CDriverSettingDlg {
    Q_OBJECT
public:
    explicit CDriverNcDlg(QWidget* parent = nullptr);
};

}  // namespace quillet::driver_ui
