// The message service: every message box of the module goes through here.
// With a GUI it is a modal box (the Qt backend, installed by the UI layer);
// headless it is one line on standard error and a Yes/No question is
// answered No. QUILLET_MESSAGE_LOG, when set, receives each message shown.
#pragma once

#include <string>

namespace quillet::platform {

// Ok and YesNo are modal message boxes. None is a notice: shown beside the
// control the user is in (with a GUI) without waiting for an answer, and
// gone at the user's next key; it answers Ok.
enum class MessageButtons { Ok, YesNo, None };
enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
    std::string text;        // UTF-8, '\n' for line breaks
    std::string objectName;  // the string id ("202") or "builtin"
    MessageButtons buttons = MessageButtons::Ok;
};

// What shows a message box. The UI layer installs the Qt backend at start-up;
// tests install recorders.
class MessageBackend {
public:
    virtual ~MessageBackend() = default;
    // True when a modal box can be shown now (for Qt: an application exists
    // or could be created).
    virtual bool Available() = 0;
    virtual MessageAnswer Show(const MessageRequest& request) = 0;
};

// Shows request through the installed backend when it is available, else on
// standard error; appends it to QUILLET_MESSAGE_LOG first when that is set.
MessageAnswer ShowMessage(const MessageRequest& request);

// Tells the host what went wrong where no message box belongs (a dialog
// that may not be shown, a closed library that cannot be used): the line
// "Quillet: <text>" on standard error and the text in QUILLET_MESSAGE_LOG,
// whatever backend is installed.
void ReportToHost(const std::string& text);

// Installs the backend used by ShowMessage (null: headless only). Returns
// the previous one. Not thread-safe: called at start-up and by tests.
MessageBackend* InstallMessageBackend(MessageBackend* backend);

// Installs a backend for the lifetime of the object (tests).
class ScopedMessageBackend {
public:
    explicit ScopedMessageBackend(MessageBackend* backend)
        : previous_(InstallMessageBackend(backend)) {}
    ~ScopedMessageBackend() { InstallMessageBackend(previous_); }
    ScopedMessageBackend(const ScopedMessageBackend&) = delete;
    ScopedMessageBackend& operator=(const ScopedMessageBackend&) = delete;

private:
    MessageBackend* previous_;
};

}  // namespace quillet::platform
