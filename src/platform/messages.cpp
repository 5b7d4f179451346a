// Headless side of the message service and the message log.
#include "platform/messages.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace quillet::platform {

namespace {

MessageBackend* g_backend = nullptr;  // installed once at module start-up

// The text on one line: each line break (LF, CR LF or a lone CR) becomes the
// two characters \n.
std::string OneLine(const std::string& text) {
    std::string line;
    line.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (c == '\n' || c == '\r') {
            line += "\\n";
        } else {
            line.push_back(c);
        }
    }
    return line;
}

void AppendToLog(const std::string& text) {
    const char* logPath = std::getenv("QUILLET_MESSAGE_LOG");
    if (logPath == nullptr || logPath[0] == '\0') return;
    std::string line = OneLine(text);
    line.push_back('\n');
    const int fd = ::open(logPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return;
    // One write per message, so that several processes never interleave lines.
    if (::write(fd, line.data(), line.size()) < 0) { /* the log is best effort */
    }
    ::close(fd);
}

void WriteToStandardError(const std::string& text) {
    const std::string line = "Quillet: " + OneLine(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

MessageAnswer ShowMessage(const MessageRequest& request) {
    AppendToLog(request.text);
    if (g_backend != nullptr && g_backend->Available()) return g_backend->Show(request);
    WriteToStandardError(request.text);
    return request.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

void ReportToHost(const std::string& text) {
    AppendToLog(text);
    WriteToStandardError(text);
}

MessageBackend* InstallMessageBackend(MessageBackend* backend) {
    MessageBackend* previous = g_backend;
    g_backend = backend;
    return previous;
}

}  // namespace quillet::platform
