// Drives a modal dialog or message box of the code under test: a timer
// finds the active modal widget by its objectName once it is shown and runs
// an action on it, which closes it (else it is cancelled afterwards).
#pragma once

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <string>

namespace quillet::testing {

class OnModal {
public:
    OnModal(std::string name, std::function<void(QDialog&)> action) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this, name, action] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || dialog->objectName().toStdString() != name ||
                !dialog->isVisible()) {
                return;
            }
            timer_.stop();
            ran_ = true;
            action(*dialog);
            // An action that stopped early (a failed assertion) must not
            // leave the test waiting on an open dialog.
            if (dialog->isVisible()) dialog->reject();
        });
        timer_.start();
    }
    bool Ran() const { return ran_; }

private:
    QTimer timer_;
    bool ran_ = false;
};

// The child of dialog called name (a control id such as "1001"), or null.
template <typename T>
T* Child(QWidget& dialog, const std::string& name) {
    return dialog.findChild<T*>(QString::fromStdString(name));
}

inline void Click(QWidget& dialog, const std::string& button) {
    if (auto* control = Child<QPushButton>(dialog, button)) control->click();
}

}  // namespace quillet::testing
