// The display check of dialogs, through plain sockets and, for the X
// handshake, the xcb library when it is there; a Qt application object
// looked up in a Qt core library already loaded. See display.h.
#include "platform/display.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace quillet::platform {

namespace {

// A remote X server that does not answer is given this long.
constexpr int kConnectTimeoutMs = 3000;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

// Connects a stream socket to address and closes it; true when the
// connection was accepted within the time-out.
bool CanConnect(int family, const sockaddr* address, socklen_t length) {
    const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    bool connected = ::connect(fd, address, length) == 0;
    if (!connected && errno == EINPROGRESS) {
        pollfd wait{fd, POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof error;
        connected = ::poll(&wait, 1, kConnectTimeoutMs) == 1 &&
                    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    ::close(fd);
    return connected;
}

// A local socket by path; a leading '@' names one in the abstract space.
bool CanConnectLocal(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    if (path[0] == '@') address.sun_path[0] = '\0';
    return CanConnect(AF_UNIX, reinterpret_cast<const sockaddr*>(&address),
                      static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size()));
}

bool CanConnectTcp(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        return false;
    }
    bool connected = false;
    for (addrinfo* a = found; a != nullptr && !connected; a = a->ai_next) {
        connected = CanConnect(a->ai_family, a->ai_addr, a->ai_addrlen);
    }
    ::freeaddrinfo(found);
    return connected;
}

// The X handshake through libxcb, which Qt's xcb plug-in uses: it also
// fails when the server refuses this client (its X authority). nullopt
// when libxcb is not there to ask.
std::optional<bool> XcbAccepts(const std::string& display) {
    void* xcb = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (xcb == nullptr) return std::nullopt;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    auto connect = reinterpret_cast<Connect>(::dlsym(xcb, "xcb_connect"));
    auto hasError = reinterpret_cast<HasError>(::dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<Disconnect>(::dlsym(xcb, "xcb_disconnect"));
    std::optional<bool> accepted;
    if (connect != nullptr && hasError != nullptr && disconnect != nullptr) {
        void* connection = connect(display.c_str(), nullptr);
        accepted = connection != nullptr && hasError(connection) == 0;
        if (connection != nullptr) disconnect(connection);
    }
    ::dlclose(xcb);
    return accepted;
}

// DISPLAY is [host]:number[.screen]; an empty host or "unix" is this
// machine's local socket, a host starting with '/' a socket path.
std::string XProblem() {
    const std::string display = Env("DISPLAY");
    if (display.empty()) return "no display: DISPLAY is not set for the xcb platform";
    std::string unreachable = "display " + display + " cannot be reached";
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos) return unreachable + " (it is not [host]:number)";
    std::string host = display.substr(0, colon);
    if (const std::size_t slash = host.rfind('/'); slash != std::string::npos && host[0] != '/') {
        host = host.substr(slash + 1);  // "tcp/host" and "unix/host"
    }
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos ||
        number.size() > 5) {
        return unreachable + " (it is not [host]:number)";
    }
    bool reached = false;
    if (host.empty() || host == "unix") {
        const std::string socket = "/tmp/.X11-unix/X" + number;
        reached = CanConnectLocal("@" + socket) || CanConnectLocal(socket);
        if (!reached && host.empty())
            reached = CanConnectTcp("localhost", 6000 + std::stoi(number));
    } else if (host[0] == '/') {
        reached = CanConnectLocal(display.substr(0, colon));
    } else {
        reached = CanConnectTcp(host, 6000 + std::stoi(number));
    }
    if (!reached) return unreachable;
    if (XcbAccepts(display) == false) {
        return "display " + display + " refuses this connection (check XAUTHORITY)";
    }
    return "";
}

std::string WaylandProblem() {
    std::string name = Env("WAYLAND_DISPLAY");
    if (name.empty()) name = "wayland-0";
    const std::string runtime = Env("XDG_RUNTIME_DIR");
    if (name[0] != '/' && runtime.empty()) {
        return "wayland display " + name + " cannot be reached (XDG_RUNTIME_DIR is not set)";
    }
    const std::string socket = name[0] == '/' ? name : runtime + "/" + name;
    return CanConnectLocal(socket) ? "" : "wayland display " + name + " cannot be reached";
}

}  // namespace

std::string DialogDisplayProblem() {
    std::vector<std::string> plugins;
    const std::string chosen = Env("QT_QPA_PLATFORM");
    for (std::size_t start = 0; start < chosen.size();) {
        std::size_t end = chosen.find(';', start);
        if (end == std::string::npos) end = chosen.size();
        std::string plugin = chosen.substr(start, end - start);
        plugin = plugin.substr(0, plugin.find(':'));  // options after ':'
        if (!plugin.empty()) plugins.push_back(plugin);
        start = end + 1;
    }
    if (plugins.empty()) {
        if (!Env("DISPLAY").empty()) {
            plugins.push_back("xcb");
        } else if (!Env("WAYLAND_DISPLAY").empty()) {
            plugins.push_back("wayland");
        } else {
            return "no display: DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are not set";
        }
    }
    std::string problem;
    for (const std::string& plugin : plugins) {
        if (plugin == "xcb") {
            problem = XProblem();
        } else if (plugin.rfind("wayland", 0) == 0) {
            problem = WaylandProblem();
        } else {
            return "";
        }
        if (problem.empty()) return "";
    }
    return problem;
}

bool QtApplicationExists(int qtMajorVersion) {
    // The core library by its soname, in whatever scope the host loaded it.
    const std::string major = std::to_string(qtMajorVersion);
    const std::string soname = "libQt" + major + "Core.so." + major;
    void* const core = ::dlopen(soname.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (core == nullptr) return false;
    const std::string version = "Qt_" + major;
    void* const self = ::dlvsym(core, "_ZN16QCoreApplication4selfE", version.c_str());
    const bool exists = self != nullptr && *static_cast<void* const*>(self) != nullptr;
    ::dlclose(core);
    return exists;
}

}  // namespace quillet::platform
