// The three machine-driver operations behind the exports: NC generation of
// the current job, the driver's special sequences, and the current setting
// files laid down for a job.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "quillet/quillet.h"

namespace quillet::driver {

// Every operation here runs its calls into the closed libraries as one
// sequence under LockClosedLibraries: calls from several threads follow one
// another.

// Loads the driver, hands it the job's machine data and every NC record, in
// the order of the driver interface; target goes to the driver unchanged,
// whatever its length. Returns 0, the first failure of the NC-data library
// unchanged (reading the machine, check, open, close), or 999 without
// calling anything when driverName is longer than 255 bytes, target is null,
// or a library function cannot be bound.
int CreateNc(std::string_view driverName, char* target);

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
// generates one from the driver. 0, -2 (driver or machine missing, or a
// name with a path separator: nothing touched) or 999.
int SetCurrentInfo(const char* driverName, const char* machineName, const char* laserMaterialName,
                   const char* dieLayoutName);

}  // namespace quillet::driver
