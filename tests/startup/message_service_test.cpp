// The message service: headless line and answer, message log, Qt message box.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "frame/gui_qt.h"
#include "frame/module.h"
#include "frame/resources.h"
#include "platform/messages.h"
#include "support/on_modal.h"
#include "support/temp_install.h"

namespace quillet::testing {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageRequest;

// Names the message log (or "" for none) while it lives.
class ScopedLog {
public:
    explicit ScopedLog(const fs::path& file) { ::setenv(kName, file.c_str(), 1); }
    ~ScopedLog() { ::unsetenv(kName); }

private:
    static constexpr const char* kName = "QUILLET_MESSAGE_LOG";
};

// Collects what is written to standard error while it lives.
class StderrCapture {
public:
    explicit StderrCapture(const fs::path& file) : file_(file), saved_(::dup(2)) {
        std::fflush(stderr);
        std::FILE* target = std::fopen(file.c_str(), "w");
        ::dup2(::fileno(target), 2);
        std::fclose(target);
    }
    ~StderrCapture() { Text(); }
    std::string Text() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            ::dup2(saved_, 2);
            ::close(saved_);
            saved_ = -1;
        }
        return ReadFile(file_);
    }

private:
    fs::path file_;
    int saved_;
};

TEST(HeadlessMessageTest, WritesOneEscapedLinePerMessageAndAnswersNo) {
    const std::pair<std::string, std::string> rows[] = {
        {"Resource load error!![libQuillet_rs.so]", "Resource load error!![libQuillet_rs.so]"},
        {"a\n\nb\n", "a\\n\\nb\\n"},
        {"a\r\nb\rc", "a\\nb\\nc"},
    };
    const platform::ScopedMessageBackend headless(nullptr);
    for (const auto& [text, line] : rows) {
        TempFolder folder;
        const ScopedLog log(folder.Path() / "messages.log");
        StderrCapture err(folder.Path() / "stderr");
        EXPECT_EQ(platform::ShowMessage(MessageRequest{text, "202", MessageButtons::Ok}),
                  MessageAnswer::Ok);
        EXPECT_EQ(platform::ShowMessage(MessageRequest{text, "204", MessageButtons::YesNo}),
                  MessageAnswer::No);
        EXPECT_EQ(err.Text(), "Quillet: " + line + "\nQuillet: " + line + "\n");
        EXPECT_EQ(ReadFile(folder.Path() / "messages.log"), line + "\n" + line + "\n");
    }
}

// The Qt backend, offscreen: presses a button of each box once it is shown
// and records the box's objectName, text and buttons.
TEST(QtMessageBoxTest, BoxIsNamedByItsStringAndAnswersTheClickedButton) {
    static int argc = 1;
    static char name[] = "startup_messages_test";
    static char* argv[] = {name, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);  // also when run outside ctest
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
    ASSERT_TRUE(frame::EnsureApplication());
    frame::InstallQtMessageBackend();
    TempFolder folder;
    const ScopedLog log(folder.Path() / "messages.log");
    // Presses button of the box named name and records its text and buttons.
    std::string seenText;
    QMessageBox::StandardButtons seenButtons;
    const auto answer = [&](const char* name, QMessageBox::StandardButton button) {
        return std::make_unique<OnModal>(name, [&, button](QDialog& dialog) {
            auto& box = static_cast<QMessageBox&>(dialog);
            seenText = box.text().toStdString();
            seenButtons = box.standardButtons();
            box.button(button)->click();
        });
    };

    auto yes = answer("204", QMessageBox::Yes);
    EXPECT_EQ(frame::ShowStringMessage(204, MessageButtons::YesNo), MessageAnswer::Yes);
    EXPECT_TRUE(yes->Ran());
    EXPECT_EQ(seenText, frame::ResourceString(204));
    EXPECT_EQ(seenButtons, QMessageBox::Yes | QMessageBox::No);
    auto no = answer("205", QMessageBox::No);
    EXPECT_EQ(frame::ShowStringMessage(205, MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_TRUE(no->Ran());
    auto ok = answer("builtin", QMessageBox::Ok);
    frame::ShowBuiltinMessage("Resource load error!![libQuillet_rs.so]");
    EXPECT_TRUE(ok->Ran());
    EXPECT_EQ(seenButtons, QMessageBox::StandardButtons(QMessageBox::Ok));

    // The GUI shows the box and the log still gets every message, one line each.
    std::string expected;
    for (std::string text :
         {std::string(frame::ResourceString(204)), std::string(frame::ResourceString(205))}) {
        for (std::size_t at; (at = text.find('\n')) != std::string::npos;)
            text.replace(at, 1, "\\n");
        expected += text + "\n";
    }
    EXPECT_EQ(ReadFile(folder.Path() / "messages.log"),
              expected + "Resource load error!![libQuillet_rs.so]\n");
}

}  // namespace
}  // namespace quillet::testing
