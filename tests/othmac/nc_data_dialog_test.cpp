// Dialog 102 driven offscreen: OK writes, Cancel does not, Clear all, masters,
// overlong texts.
#include "othmac/nc_data_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "frame/gui_qt.h"
#include "othmac/nc_template.h"
#include "support/message_recorder.h"
#include "support/temp_install.h"

namespace quillet::othmac {
namespace {

using platform::MessageAnswer;
using testing::MessageRecorder;
using testing::ReadFile;
using testing::TempInstallation;
using testing::WriteFile;

LookupRequest Request(int create, const std::string& material, int show = 1) {
    return LookupRequest{create, show, 130, "MC01", material, "", 0, 0};
}

QPlainTextEdit* Edit(QDialog* dialog, int id) {
    return dialog->findChild<QPlainTextEdit*>(QString::number(id));
}
void Click(QDialog* dialog, int id) {
    QPushButton* button = dialog->findChild<QPushButton*>(QString::number(id));
    ASSERT_NE(button, nullptr) << id;
    button->click();
}

// Runs the dialog; drive gets it once it is the active modal widget.
int RunDialog(const LookupRequest& request, const std::function<void(QDialog*)>& drive,
              bool* shown = nullptr) {
    EXPECT_TRUE(frame::EnsureApplication());
    bool opened = false;
    QTimer timer;  // this call's own: it must not fire into the next test's dialog
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QDialog* dialog = nullptr;
        opened = QTest::qWaitFor([&] {
            dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            return dialog != nullptr && dialog->objectName() == "102";
        });
        if (!opened) return;
        drive(dialog);
        if (dialog->isVisible()) dialog->reject();  // left open: Cancel
    });
    timer.start(0);
    const int result = RunNcDataDialog(request);
    if (shown != nullptr) *shown = opened;
    return result;
}

class NcDataDialogTest : public ::testing::Test {
protected:
    std::filesystem::path Data(const std::string& name) const {
        return install.DataFolder() / name;
    }
    TempInstallation install;
};

TEST_F(NcDataDialogTest, OkWritesTheTemplateOfANewMachine) {
    MessageRecorder messages;
    const int result = RunDialog(Request(1, "SPCC1.6"), [&](QDialog* dialog) {
        EXPECT_FALSE(dialog->windowTitle().isEmpty());
        for (const auto& [id, text] : {std::pair{"1002", "MC01"}, {"1021", "SPCC1.6"}}) {
            auto* line = dialog->findChild<QLineEdit*>(id);
            ASSERT_NE(line, nullptr) << id;
            EXPECT_EQ(line->text(), text);
            EXPECT_TRUE(line->isReadOnly());
        }
        for (int id : {1000, 1003, 1004, 1022, 1012, 1007, 1005, 1006, 1011, 1009, 1010, 1015, 1013,
                       1014, 1019, 1017, 1018}) {
            ASSERT_NE(Edit(dialog, id), nullptr) << id;
            EXPECT_TRUE(Edit(dialog, id)->toPlainText().isEmpty()) << id;
        }
        EXPECT_TRUE(dialog->findChild<QPushButton*>("1")->isDefault());
        // Set by a program and typed: both end up in upper case.
        Edit(dialog, 1005)->setPlainText("m103\ng04p1");
        EXPECT_EQ(Edit(dialog, 1005)->toPlainText(), "M103\nG04P1");
        QPlainTextEdit* end = Edit(dialog, 1006);
        end->setFocus();
        QTest::keyClicks(end, "m05");
        QTest::keyClick(end, Qt::Key_Return);  // a line break, not OK
        QTest::keyClicks(end, "g04");
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(end->toPlainText(), "M05\nG04");
        // An overlong text is refused and the dialog stays open.
        Edit(dialog, 1004)->setPlainText(QString(500, QChar('X')));
        Click(dialog, 1);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(messages.Ids(), std::vector<std::string>{"102.text_too_long"});
        Edit(dialog, 1004)->setPlainText(QString(499, QChar('X')));
        Click(dialog, 1);
    });
    EXPECT_EQ(result, 0);
    NcTemplateTexts expected;
    expected[NcText::CutStartK] = "M103\r\nG04P1";
    expected[NcText::CutEndK] = "M05\r\nG04";
    expected[NcText::NcEnd] = std::string(499, 'X');
    EXPECT_EQ(ReadFile(Data("MC01-SPCC1.6.CUT")), FormatNcTemplate(expected));
    EXPECT_EQ(LocateConditionFile(Request(0, "SPCC1.6")).path, Data("MC01-SPCC1.6.CUT").string());
}

TEST_F(NcDataDialogTest, CancelAndCloseWriteNothing) {
    MessageRecorder messages;
    EXPECT_EQ(RunDialog(Request(1, "SPCC"),
                        [](QDialog* dialog) {
                            Edit(dialog, 1000)->setPlainText("%");
                            Click(dialog, 2);
                        }),
              1);
    EXPECT_EQ(RunDialog(Request(1, "SPCC"), [](QDialog* dialog) { dialog->close(); }), 1);
    EXPECT_FALSE(std::filesystem::exists(Data("MC01-SPCC.CUT")));
    // The registration stays.
    EXPECT_TRUE(std::filesystem::exists(Data("Othmcn.dat")));
    EXPECT_TRUE(std::filesystem::exists(Data("MC01.__1")));
}

TEST_F(NcDataDialogTest, ShowsTheSavedTemplateAndClearAllEmptiesIt) {
    MessageRecorder messages;
    ASSERT_EQ(LocateConditionFile(Request(1, "SPCC")).status, 0);
    NcTemplateTexts saved;
    saved[NcText::NcStart] = "%\r\nO1";
    saved[NcText::CutCondM] = "M102";
    ASSERT_TRUE(WriteNcTemplate(saved, Data("MC01-SPCC.CUT")));
    const int result = RunDialog(Request(0, "SPCC"), [](QDialog* dialog) {
        EXPECT_EQ(Edit(dialog, 1000)->toPlainText(), "%\nO1\n");
        EXPECT_EQ(Edit(dialog, 1015)->toPlainText(), "M102\n");
        Click(dialog, 1001);
        EXPECT_TRUE(Edit(dialog, 1000)->toPlainText().isEmpty());
        EXPECT_TRUE(Edit(dialog, 1015)->toPlainText().isEmpty());
        Click(dialog, 1);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(Data("MC01-SPCC.CUT")), FormatNcTemplate(NcTemplateTexts{}));
}

TEST_F(NcDataDialogTest, RegisterMasterAsksWithMessage204AndLoadMasterWith205) {
    frame::InstallQtMessageBackend();
    QString askedName;
    const int result = RunDialog(Request(1, "SPCC"), [&](QDialog* dialog) {
        Edit(dialog, 1003)->setPlainText("G90");
        QTimer::singleShot(0, [&] {
            QMessageBox* box = nullptr;
            if (!QTest::qWaitFor([&] {
                    box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                    return box != nullptr;
                })) {
                return;
            }
            askedName = box->objectName();
            box->button(QMessageBox::Yes)->click();
        });
        Click(dialog, 1008);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(Edit(dialog, 1003)->toPlainText(), "G90");
        Click(dialog, 2);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(askedName, "204");
    NcTemplateTexts master;
    master[NcText::NcStartG92] = "G90";
    EXPECT_EQ(ReadFile(Data("MC01-Oth_MASTER.CUT")), FormatNcTemplate(master));
    EXPECT_FALSE(std::filesystem::exists(Data("MC01-SPCC.CUT")));

    // Loaded under another material of the same machine: the master replaces every text.
    MessageRecorder messages;
    messages.AnswerNext(MessageAnswer::Yes);
    RunDialog(Request(1, "SS400"), [](QDialog* dialog) {
        Edit(dialog, 1000)->setPlainText("OLD");
        Click(dialog, 1016);
        EXPECT_EQ(Edit(dialog, 1003)->toPlainText(), "G90\n");
        EXPECT_TRUE(Edit(dialog, 1000)->toPlainText().isEmpty());
    });
    EXPECT_EQ(messages.Ids(), std::vector<std::string>{"205"});
}

TEST_F(NcDataDialogTest, MasterButtonsDoNothingOnNoAndLoadWithoutMasterKeepsEdits) {
    MessageRecorder messages;
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::No, MessageAnswer::Yes}) {
        messages.AnswerNext(answer);
    }
    RunDialog(Request(1, "SPCC"), [&](QDialog* dialog) {
        Edit(dialog, 1000)->setPlainText("KEEP");
        Click(dialog, 1008);
        Click(dialog, 1016);
        EXPECT_EQ(Edit(dialog, 1000)->toPlainText(), "KEEP");
        EXPECT_EQ(ReadFile(Data("MC01.__1")).find("Oth_MASTER"), std::string::npos);
        Click(dialog, 1016);  // Yes, but there is no master
        EXPECT_EQ(Edit(dialog, 1000)->toPlainText(), "KEEP");
    });
    EXPECT_EQ(messages.Ids(), (std::vector<std::string>{"204", "205", "205"}));
    EXPECT_FALSE(std::filesystem::exists(Data("MC01-Oth_MASTER.CUT")));
    // The master's record is registered all the same.
    EXPECT_NE(ReadFile(Data("MC01.__1")).find("[QM700]Oth_MASTER "), std::string::npos);
}

TEST_F(NcDataDialogTest, FailedLookupNeverShowsTheDialog) {
    for (int show : {1, 0}) {
        MessageRecorder messages;
        bool shown = true;
        EXPECT_EQ(RunDialog(
                      Request(0, "SPCC", show), [](QDialog*) {}, &shown),
                  100);
        EXPECT_FALSE(shown);
        EXPECT_EQ(messages.Ids().size(), show == 1 ? 1u : 0u);
    }
}

}  // namespace
}  // namespace quillet::othmac
