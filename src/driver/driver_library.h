// The binding to the host's closed libraries: libkorvid.so (machine driver,
// NC code generation) and libDravik.so (machine data and NC records of the
// job). The module carries no link-time dependency on them: each operation
// binds the functions it calls, by their plain C names, before it calls any
// of them, so a missing library or function is reported instead of leaving
// a module that cannot load.
#pragma once

#include <mutex>
#include <string>

#include "quillet/quillet.h"

namespace quillet::driver {

// Buffer size of every driver name handed to MD_LoadMachineDriver, of the
// names the driver fills and of the target handed to the generator.
inline constexpr int kDriverTextSize = 256;

enum class ClosedLibrary { Korvid, Dravik };

// Function types of the two libraries. The MD_GetNumberOf... and
// MD_GetSpecialSequenceNumberOf... functions and every Dravik function
// return int; every other korvid function returns void.
namespace fn {
using Text = void (*)(char*);
using Int = void (*)(int);
using Real = void (*)(double);
using RealPair = void (*)(double, double);
using Clamp = void (*)(int, double);
using Count = int (*)();
using Entry = void (*)(int, int*, int*, int*, char*);
using DefaultSetting = void (*)(int, int*, char*, int*, double*, int*);
using Generate = void (*)(int, int, int, int, double* const);
using Plain = void (*)();
using ReadMachine = int (*)(md_machine_inf_*);
using Status = int (*)();
using ReadRecord = int (*)(md_ncg_dat_*);
}  // namespace fn

// Address of the function name: first from the process's global scope (so a
// preloaded library or the host's own definition takes precedence, as with
// ordinary linking), then from the library, which is opened on first need
// and kept open for the life of the process (the driver keeps state between
// calls): from the folder QUILLET_DRIVER_DIR names when it is set and holds
// the file, else by its unversioned name through the library search path.
// nullptr when neither has it; error then receives the loader's text.
void* ResolveClosedFunction(ClosedLibrary library, const char* name, std::string& error);

// Binds several functions in one go; Complete() tells whether all were found.
// The first function that cannot be bound is reported to the host with the
// loader's error text (standard error and the message log).
class FunctionBinder {
public:
    template <typename Fn>
    FunctionBinder& Bind(Fn& function, ClosedLibrary library, const char* name) {
        std::string error;
        function = reinterpret_cast<Fn>(ResolveClosedFunction(library, name, error));
        if (function == nullptr && complete_) {
            complete_ = false;
            ReportUnbound(error);
        }
        return *this;
    }
    bool Complete() const { return complete_; }

private:
    static void ReportUnbound(const std::string& error);
    bool complete_ = true;
};

// The closed libraries keep one state per process (the loaded driver, what
// was handed to it, the record cursor): each call sequence into them, from
// loading the driver to its last call, holds this lock, so that a second
// thread of the host waits for the first. Recursive: an operation that
// holds it may run another that takes it.
[[nodiscard]] std::unique_lock<std::recursive_mutex> LockClosedLibraries();

}  // namespace quillet::driver
