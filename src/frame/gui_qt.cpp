// QApplication on demand and QMessageBox as the message service's GUI.
#include "frame/gui_qt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <atomic>
#include <clocale>
#include <cstdlib>
#include <string>

#include "frame/entry_view_qt.h"
#include "frame/resources.h"
#include "platform/display.h"
#include "platform/messages.h"

namespace quillet::frame {

namespace {

class MessageBoxBackend final : public platform::MessageBackend {
public:
    bool Available() override { return EnsureApplication(); }

    platform::MessageAnswer Show(const platform::MessageRequest& request) override {
        const QString text = QString::fromStdString(request.text);
        if (request.buttons == platform::MessageButtons::None) {
            ShowNoticePopup(text);
            return platform::MessageAnswer::Ok;
        }
        QMessageBox box;
        box.setObjectName(QString::fromStdString(request.objectName));
        box.setWindowTitle(QStringLiteral("Quillet"));
        box.setText(text);
        if (request.buttons == platform::MessageButtons::YesNo) {
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            // A stray Enter never answers Yes: every question here would
            // overwrite something.
            box.setDefaultButton(QMessageBox::No);
            NameButtons(box);
            return box.exec() == QMessageBox::Yes ? platform::MessageAnswer::Yes
                                                  : platform::MessageAnswer::No;
        }
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        NameButtons(box);
        box.exec();
        return platform::MessageAnswer::Ok;
    }

private:
    // The buttons' texts (with their mnemonics) from the active resource set.
    static void NameButtons(QMessageBox& box) {
        const std::pair<QMessageBox::StandardButton, const char*> names[] = {
            {QMessageBox::Ok, "button.ok"},
            {QMessageBox::Yes, "button.yes"},
            {QMessageBox::No, "button.no"}};
        for (const auto& [which, key] : names) {
            const std::string_view name = ResourceText(key);
            if (QAbstractButton* button = box.button(which); button != nullptr && !name.empty()) {
                button->setText(
                    QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
            }
        }
    }
};

// Why the calling thread can or cannot show a widget.
enum class Gui { Ready, NoDisplay, Qt5Host, CoreApplicationOnly, OtherThread };

// The application object puts the process locale in place from the
// environment (setlocale(LC_ALL, "")), LC_CTYPE made UTF-8: the host's
// own number formatting would change for good. Every category goes back to
// what the host had; the module's own conversions use the C locale anyway.
class HostLocale {
public:
    HostLocale() {
        if (const char* names = std::setlocale(LC_ALL, nullptr)) saved_ = names;
    }
    ~HostLocale() {
        if (!saved_.empty()) std::setlocale(LC_ALL, saved_.c_str());
    }
    HostLocale(const HostLocale&) = delete;
    HostLocale& operator=(const HostLocale&) = delete;

private:
    std::string saved_;
};

QApplication* CreateApplication() {
    static int argc = 1;
    static char name[] = "quillet";
    static char* argv[] = {name, nullptr};
    const HostLocale hostLocale;
    return new QApplication(argc, argv);
}

Gui CallingThreadGui() {
    if (QCoreApplication::instance() == nullptr) {
        // Qt 5 and Qt 6 load side by side (their symbols are versioned), but
        // the dialogs would need a second application, platform connection
        // and event loop, of Qt 6, beside a Qt 5 host's.
        if (platform::QtApplicationExists(5)) return Gui::Qt5Host;
        // Qt ends the process when its platform plug-in cannot connect, so an
        // unreachable display means no GUI here, not a crashed host.
        if (!platform::DialogDisplayProblem().empty()) return Gui::NoDisplay;
        // The module's own application object lives as long as the process.
        // A second thread that waited for its creation is not its thread.
        static QApplication* const application = CreateApplication();
        (void)application;
    }
    QCoreApplication* const application = QCoreApplication::instance();
    if (application == nullptr) return Gui::NoDisplay;  // the host's own one is gone
    // Widgets need a QApplication, and they live on its thread only.
    if (qobject_cast<QApplication*>(application) == nullptr) return Gui::CoreApplicationOnly;
    return QThread::currentThread() == application->thread() ? Gui::Ready : Gui::OtherThread;
}

std::atomic<bool> g_dialogOpen{false};

}  // namespace

bool EnsureApplication() { return CallingThreadGui() == Gui::Ready; }

DialogTurn::DialogTurn(const char* exportName) {
    const char* refusal = nullptr;
    std::string noDisplay;
    switch (CallingThreadGui()) {
        case Gui::NoDisplay:
            noDisplay = platform::DialogDisplayProblem();
            noDisplay = (noDisplay.empty() ? "there is no display" : noDisplay) +
                        " (set DISPLAY or WAYLAND_DISPLAY to a reachable display, or "
                        "QT_QPA_PLATFORM)";
            refusal = noDisplay.c_str();
            break;
        case Gui::Qt5Host:
            refusal = "dialogs need Qt 6, and the host's application object is one of Qt 5";
            break;
        case Gui::CoreApplicationOnly:
            refusal =
                "dialogs need a QApplication, and the host's application object is a "
                "QCoreApplication";
            break;
        case Gui::OtherThread:
            refusal =
                "dialogs run only on the thread that showed the first one (the "
                "QApplication's thread), not on this one";
            break;
        case Gui::Ready:
            granted_ = !g_dialogOpen.exchange(true);
            if (!granted_) refusal = "one dialog at a time, and another dialog of Quillet is open";
            break;
    }
    if (refusal != nullptr) {
        platform::ReportToHost(std::string(exportName) + ": no dialog shown: " + refusal);
    }
}

DialogTurn::~DialogTurn() {
    if (granted_) g_dialogOpen.store(false);
}

platform::MessageBackend& QtMessageBackend() {
    static MessageBoxBackend backend;
    return backend;
}

}  // namespace quillet::frame
