// Child processes of tests: a forked body, or a program run with its output
// captured.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_install.h"

namespace quillet::testing {

// Starts body in a forked child, which leaves with _exit(body()).
inline pid_t StartChild(const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        int status = 111;
        try {
            status = body();
        } catch (...) {
        }
        ::_exit(status);
    }
    return pid;
}

// The child's exit status (0-255), 128 + signal when a signal ended it, -1
// when there is no such child.
inline int WaitChild(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

inline int RunInChild(const std::function<int()>& body) { return WaitChild(StartChild(body)); }

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the program argv[0] with standard input from /dev/null. env entries
// NAME=VALUE set a variable for it; a bare NAME removes one.
inline ProgramRun RunProgram(std::vector<std::string> argv,
                             const std::vector<std::string>& env = {}) {
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    TempFolder scratch;
    const fs::path outPath = scratch.Path() / "out", errPath = scratch.Path() / "err";
    ProgramRun run;
    run.exitCode = RunInChild([&] {
        for (const std::string& e : env) {
            const std::size_t eq = e.find('=');
            if (eq == std::string::npos)
                ::unsetenv(e.c_str());
            else
                ::setenv(e.substr(0, eq).c_str(), e.c_str() + eq + 1, 1);
        }
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0) return 126;
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::dup2(in, 0);
        ::execv(args[0], args.data());
        return 127;
    });
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

}  // namespace quillet::testing
