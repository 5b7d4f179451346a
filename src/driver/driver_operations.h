// The three machine-driver operations behind the exports: NC generation of
// the current job, the driver's special sequences, and the current setting
// files laid down for a job.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quillet/quillet.h"

namespace quillet::driver {

// Every operation here runs its calls into the closed libraries as one
// sequence under LockClosedLibraries: calls from several threads follow one
// another.

// What an operation on the driver's files came to.
enum class Outcome {
    Done,
    InvalidArguments,  // a name missing or refused: nothing touched
    Failed,            // a path, a copy, a write or the driver could not be had
};

// Loads the driver, hands it the job's machine data and every NC record, in
// the order of the driver interface; target goes to the driver unchanged,
// whatever its length. Returns the NC-data library's status: 0, or its
// first failure unchanged (reading the machine, check, open, close);
// nullopt, nothing called, when driverName is longer than 255 bytes, target
// is null, or a library function cannot be bound.
std::optional<int> CreateNc(std::string_view driverName, char* target);

// One accepted special sequence of a driver.
struct SpecialSequence {
    int id = 0;
    std::string name;
    int valueType = 0;  // 2, 3 or 4
    int valueCount = 0;
};

// The driver's accepted special sequences of family (1 cutting, 2 punching;
// other families list nothing, after loading the driver), at most 99. Empty
// when driverName is longer than 255 bytes or the library cannot be bound.
std::vector<SpecialSequence> ListSpecialSequences(std::string_view driverName, int family);

// Lays down the current files: deletes the three, then per kind (Nc always,
// Cut with a laser material, Tool with a die layout) copies the saved file or
// generates one from the driver. InvalidArguments when the driver or
// machine is missing or a name holds a path separator.
Outcome SetCurrentInfo(const char* driverName, const char* machineName,
                       const char* laserMaterialName, const char* dieLayoutName);

}  // namespace quillet::driver
