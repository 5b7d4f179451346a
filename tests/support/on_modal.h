// Drives a modal dialog or message box of the code under test: a timer
// finds the active modal widget by its objectName once it is shown and runs
// an action on it, which closes it (else it is cancelled afterwards).
#pragma once

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

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

// Whether the control name of dialog is shown.
inline bool Visible(QWidget& dialog, const std::string& name) {
    QWidget* control = Child<QWidget>(dialog, name);
    return control != nullptr && control->isVisible();
}

// The objectNames of the controls the focus visits when key (Tab, or Tab
// with Shift) is pressed count times, each press sent to the control of
// window that has the focus.
inline std::vector<std::string> FocusWalk(QWidget& window, int count,
                                          Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    std::vector<std::string> visited;
    for (int i = 0; i < count && window.focusWidget() != nullptr; ++i) {
        QTest::keyClick(window.focusWidget(), Qt::Key_Tab, modifiers);
        visited.push_back(window.focusWidget()->objectName().toStdString());
    }
    return visited;
}

// Keys typed as the operator types them: each to the control of window that
// has the focus at that moment (an editor the first key opened).
inline void TypeKeys(QWidget& window, const char* keys) {
    for (; *keys != '\0'; ++keys) QTest::keyClick(window.focusWidget(), *keys);
}

// A key pressed on widget as the focused control.
inline void PressKey(QWidget* widget, Qt::Key key) {
    widget->setFocus();
    QTest::keyClick(widget, key);
}

}  // namespace quillet::testing
