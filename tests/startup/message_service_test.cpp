// The message service: the headless line and answer, the message log, and
// the Qt message box that hosts and tests automate by objectName.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "frame/gui_qt.h"
#include "frame/module.h"
#include "frame/resources.h"
#include "platform/messages.h"
#include "support/message_recorder.h"
#include "support/temp_install.h"

namespace quillet::testing {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageRequest;

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) previous_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (previous_) {
            ::setenv(name_, previous_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> previous_;
};

// Collects what is written to standard error while it lives.
class StderrCapture {
public:
    explicit StderrCapture(const fs::path& file) : file_(file) {
        std::fflush(stderr);
        saved_ = ::dup(2);
        std::FILE* target = std::fopen(file.c_str(), "w");
        ::dup2(::fileno(target), 2);
        std::fclose(target);
    }
    ~StderrCapture() { Restore(); }
    std::string Text() {
        Restore();
        return ReadFile(file_);
    }

private:
    void Restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
        saved_ = -1;
    }
    fs::path file_;
    int saved_ = -1;
};

struct LineCase {
    const char* name;
    std::string text;
    std::string line;  // as logged and after "Quillet: " on standard error
};

class HeadlessMessageTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(HeadlessMessageTest, WritesOneLinePerMessageAndAnswersNo) {
    const LineCase& row = GetParam();
    TempFolder folder;
    const ScopedEnv log("QUILLET_MESSAGE_LOG", (folder.Path() / "messages.log").string());
    const platform::ScopedMessageBackend headless(nullptr);
    StderrCapture err(folder.Path() / "stderr");
    EXPECT_EQ(platform::ShowMessage(MessageRequest{row.text, "202", MessageButtons::Ok}),
              MessageAnswer::Ok);
    EXPECT_EQ(platform::ShowMessage(MessageRequest{row.text, "204", MessageButtons::YesNo}),
              MessageAnswer::No);
    EXPECT_EQ(err.Text(), "Quillet: " + row.line + "\nQuillet: " + row.line + "\n");
    EXPECT_EQ(ReadFile(folder.Path() / "messages.log"), row.line + "\n" + row.line + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HeadlessMessageTest,
    ::testing::Values(LineCase{"Plain", "Resource load error!![libQuillet_rs.so]",
                               "Resource load error!![libQuillet_rs.so]"},
                      LineCase{"LineFeeds", "a\n\nb\n", "a\\n\\nb\\n"},
                      LineCase{"CarriageReturns", "a\r\nb\rc", "a\\nb\\nc"},
                      LineCase{"Japanese", "マスターの読み込み\n（備考）",
                               "マスターの読み込み\\n（備考）"},
                      LineCase{"Empty", "", ""}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(MessageLogTest, AppendsToAnExistingLogAndSurvivesAnUnwritableOne) {
    TempFolder folder;
    const platform::ScopedMessageBackend headless(nullptr);
    StderrCapture err(folder.Path() / "stderr");
    const fs::path logFile = folder.Path() / "messages.log";
    WriteFile(logFile, "earlier\n");
    {
        const ScopedEnv log("QUILLET_MESSAGE_LOG", logFile.string());
        platform::ShowMessage(MessageRequest{"later", "builtin", MessageButtons::Ok});
    }
    EXPECT_EQ(ReadFile(logFile), "earlier\nlater\n");
    {
        // A folder cannot take the log: the message is still shown.
        const ScopedEnv log("QUILLET_MESSAGE_LOG", folder.Path().string());
        platform::ShowMessage(MessageRequest{"shown", "builtin", MessageButtons::Ok});
    }
    {
        const ScopedEnv log("QUILLET_MESSAGE_LOG", "");
        platform::ShowMessage(MessageRequest{"unlogged", "builtin", MessageButtons::Ok});
    }
    EXPECT_EQ(err.Text(), "Quillet: later\nQuillet: shown\nQuillet: unlogged\n");
    EXPECT_EQ(ReadFile(logFile), "earlier\nlater\n");
}

TEST(ModuleMessagesTest, StringMessagesCarryTheirIdAndBuiltinOnesDoNot) {
    MessageRecorder recorder;
    recorder.AnswerNext(MessageAnswer::Yes);
    EXPECT_EQ(frame::ShowStringMessage(204, MessageButtons::YesNo), MessageAnswer::Yes);
    EXPECT_EQ(frame::ShowStringMessage(488), MessageAnswer::Ok);
    frame::ShowBuiltinMessage("system error：1[7]");
    ASSERT_EQ(recorder.Messages().size(), 3u);
    EXPECT_EQ(recorder.Ids(), (std::vector<std::string>{"204", "488", "builtin"}));
    EXPECT_EQ(recorder.Messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(recorder.Messages()[0].text, frame::ResourceString(204));
    EXPECT_EQ(recorder.Messages()[1].buttons, MessageButtons::Ok);
    EXPECT_EQ(recorder.Messages()[2].text, "system error：1[7]");
}

// A text as the log holds it.
std::string LogLine(std::string_view text) {
    std::string line;
    for (char c : text) line += c == '\n' ? std::string("\\n") : std::string(1, c);
    return line + "\n";
}

// The Qt backend, offscreen, with the test's own QApplication.
class QtMessageBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "startup_messages_test";
        static char* argv[] = {name, nullptr};
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);  // also when run outside ctest
        if (QApplication::instance() == nullptr) new QApplication(argc, argv);
    }

    // Presses button of the next message box once it is shown, and records
    // the box's objectName and text.
    void AnswerNextBox(QMessageBox::StandardButton button) {
        auto* timer = new QTimer(qApp);
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [this, timer, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) return;
            timer->stop();
            timer->deleteLater();
            seenName_ = box->objectName().toStdString();
            seenText_ = box->text().toStdString();
            seenButtons_ = box->standardButtons();
            box->button(button)->click();
        });
        timer->start();
    }

    std::string seenName_;
    std::string seenText_;
    QMessageBox::StandardButtons seenButtons_;
};

TEST_F(QtMessageBoxTest, YesNoBoxIsNamedByItsStringAndAnswersTheClickedButton) {
    EXPECT_TRUE(frame::EnsureApplication());
    frame::InstallQtMessageBackend();
    TempFolder folder;
    const ScopedEnv log("QUILLET_MESSAGE_LOG", (folder.Path() / "messages.log").string());

    AnswerNextBox(QMessageBox::Yes);
    EXPECT_EQ(frame::ShowStringMessage(204, MessageButtons::YesNo), MessageAnswer::Yes);
    EXPECT_EQ(seenName_, "204");
    EXPECT_EQ(seenText_, frame::ResourceString(204));
    EXPECT_EQ(seenButtons_, QMessageBox::Yes | QMessageBox::No);

    AnswerNextBox(QMessageBox::No);
    EXPECT_EQ(frame::ShowStringMessage(205, MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_EQ(seenName_, "205");

    AnswerNextBox(QMessageBox::Ok);
    frame::ShowBuiltinMessage("Resource load error!![libQuillet_rs.so]");
    EXPECT_EQ(seenName_, "builtin");
    EXPECT_EQ(seenButtons_, QMessageBox::StandardButtons(QMessageBox::Ok));

    // The GUI shows the box and the log still gets every message, one line each.
    EXPECT_EQ(ReadFile(folder.Path() / "messages.log"),
              LogLine(frame::ResourceString(204)) + LogLine(frame::ResourceString(205)) +
                  "Resource load error!![libQuillet_rs.so]\n");
}

}  // namespace
}  // namespace quillet::testing
