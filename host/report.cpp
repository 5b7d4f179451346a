// The report of a command and its error lines. See report.h.
#include "report.h"

#include <cstdio>

namespace quillet::host {

namespace {

void PrintJsonDocument(const Json& value) {
    PrintJson(value.dump(2, ' ', false, Json::error_handler_t::replace));
}

}  // namespace

int Report::Done(int status, const ::quillet::host::Json& data) const {
    if (json_) {
        ::quillet::host::Json out = {{"status", status}};
        if (data.is_object()) out.update(data);
        PrintJsonDocument(out);
    }
    return ExitCodeForStatus(status);
}

int Report::Fail(int exitCode, int status, const std::string& error, const std::string& cause,
                 const ::quillet::host::Json& data) const {
    PrintError(command_ + ": " + error);
    if (!cause.empty()) PrintError(command_ + ": " + cause);
    if (json_) {
        ::quillet::host::Json out = {{"status", status}, {"error", DisplayText(error)}};
        if (!cause.empty()) out["cause"] = DisplayText(cause);
        if (data.is_object()) out.update(data);
        PrintJsonDocument(out);
    }
    return exitCode;
}

int Report::FailStatus(const std::string& exportName, int status, const std::string& cause,
                       const ::quillet::host::Json& data) const {
    const std::string meaning = StatusText(status);
    return Fail(ExitCodeForStatus(status), status,
                exportName + " returned " + std::to_string(status) +
                    (meaning.empty() ? "" : " (" + meaning + ")"),
                cause, data);
}

void PrintError(const std::string& text) {
    const std::string shown = DisplayText(text);
    std::fprintf(stderr, "quillet-host: %s\n", shown.c_str());
}

std::string StatusText(int status) {
    switch (status) {
        case 0:
            return "done";
        case 1:
            return "cancelled";
        case 100:
            return "not set up or a file is missing";
        case 101:
            return "machine name longer than 50 bytes";
        case 999:
            return "system error";
        case -1:
            return "unavailable";
        case -2:
            return "invalid arguments";
        default:
            return "";
    }
}

}  // namespace quillet::host
