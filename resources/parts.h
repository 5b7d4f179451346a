// The parts of each language's text table, one per area of the module.
#pragma once

#include "resource_set.h"

namespace quillet::resources {

// kStringTable: 201-205, 206-293, 300-305, 400-487, 488, the message-box
// buttons and the texts that refuse an entry; kDialog102: the NC
// data settings dialog; kDialog129: the PDL laser information dialog;
// kDriverDialogs: dialogs 130, 131, 132.
namespace ja {
extern const TextTable kStringTable, kDialog102, kDialog129, kDriverDialogs;
}
namespace en {
extern const TextTable kStringTable, kDialog102, kDialog129, kDriverDialogs;
}

}  // namespace quillet::resources
