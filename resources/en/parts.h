// The parts of the en text table, one per area of the module.
#pragma once

#include "resource_set.h"

namespace quillet::resources::en {

extern const TextTable kStringTable;    // 201-205, 206-293, 300-305, 400-487, 488
extern const TextTable kDialog102;      // NC data settings dialog
extern const TextTable kDialog129;      // PDL laser information dialog
extern const TextTable kDriverDialogs;  // dialogs 130, 131, 132

}  // namespace quillet::resources::en
