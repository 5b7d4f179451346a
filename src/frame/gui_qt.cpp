// QApplication on demand and QMessageBox as the message service's GUI.
#include "frame/gui_qt.h"

#include <dlfcn.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <cstdlib>
#include <mutex>

#include "frame/entry_view_qt.h"
#include "frame/resources.h"
#include "platform/messages.h"

namespace quillet::frame {

namespace {

bool EnvSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// Opens and closes a connection to the X server named by DISPLAY, through
// the xcb library that Qt's X platform uses; false when either is missing.
bool XServerReachable() {
    void* xcb = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (xcb == nullptr) return false;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    auto connect = reinterpret_cast<Connect>(::dlsym(xcb, "xcb_connect"));
    auto hasError = reinterpret_cast<HasError>(::dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<Disconnect>(::dlsym(xcb, "xcb_disconnect"));
    bool reachable = false;
    if (connect != nullptr && hasError != nullptr && disconnect != nullptr) {
        void* connection = connect(nullptr, nullptr);
        reachable = connection != nullptr && hasError(connection) == 0;
        if (connection != nullptr) disconnect(connection);
    }
    ::dlclose(xcb);
    return reachable;
}

class QtMessageBackend final : public platform::MessageBackend {
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

}  // namespace

bool EnsureApplication() {
    if (QCoreApplication* existing = QCoreApplication::instance(); existing != nullptr) {
        // Widgets need a QApplication, and they live on its thread only: a
        // call from another thread of the host shows nothing.
        return qobject_cast<QApplication*>(existing) != nullptr &&
               QThread::currentThread() == existing->thread();
    }
    if (!EnvSet("QT_QPA_PLATFORM")) {
        // Qt ends the process when its default platform cannot connect, so an
        // unreachable X server means no GUI here, not a crashed host.
        if (EnvSet("DISPLAY")) {
            if (!XServerReachable()) return false;
        } else if (!EnvSet("WAYLAND_DISPLAY")) {
            return false;
        }
    }
    // The module's own application object lives as long as the process.
    static int argc = 1;
    static char name[] = "quillet";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    return application != nullptr;
}

void InstallQtMessageBackend() {
    static std::once_flag once;
    static QtMessageBackend backend;
    std::call_once(once, [] { platform::InstallMessageBackend(&backend); });
}

}  // namespace quillet::frame
