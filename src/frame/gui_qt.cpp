// QApplication on demand and QMessageBox as the message service's GUI.
#include "frame/gui_qt.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdlib>
#include <mutex>

#include "platform/messages.h"

namespace quillet::frame {

namespace {

bool EnvSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

class QtMessageBackend final : public platform::MessageBackend {
public:
    bool Available() override { return EnsureApplication(); }

    platform::MessageAnswer Show(const platform::MessageRequest& request) override {
        QMessageBox box;
        box.setObjectName(QString::fromStdString(request.objectName));
        box.setWindowTitle(QStringLiteral("Quillet"));
        box.setText(QString::fromStdString(request.text));
        if (request.buttons == platform::MessageButtons::YesNo) {
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::No);
            return box.exec() == QMessageBox::Yes ? platform::MessageAnswer::Yes
                                                  : platform::MessageAnswer::No;
        }
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return platform::MessageAnswer::Ok;
    }
};

}  // namespace

bool EnsureApplication() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) return true;
    if (QCoreApplication::instance() != nullptr) return false;  // a non-GUI application
    if (!EnvSet("QT_QPA_PLATFORM") && !EnvSet("DISPLAY") && !EnvSet("WAYLAND_DISPLAY")) {
        return false;
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
