// QApplication on demand and QMessageBox as the message service's GUI.
#include "frame/gui_qt.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <cstdlib>
#include <mutex>

#include "platform/display.h"
#include "platform/messages.h"

namespace quillet::frame {

namespace {

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
    if (QCoreApplication* existing = QCoreApplication::instance(); existing != nullptr) {
        // Widgets need a QApplication, and they live on its thread only: a
        // call from another thread of the host shows nothing.
        return qobject_cast<QApplication*>(existing) != nullptr &&
               QThread::currentThread() == existing->thread();
    }
    // Qt ends the process when its platform plug-in cannot connect, so an
    // unreachable display means no GUI here, not a crashed host.
    if (!platform::DialogDisplayProblem().empty()) return false;
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
