// Texts of the driver_dialogs area (ja).
#include "parts.h"

namespace quillet::resources::ja {

namespace {
const QuilletResourceText kEntries[] = {
    {"", ""},  // placeholder until the area's texts are added
};
}  // namespace

const TextTable kDriverDialogs = MakeTable(kEntries);

}  // namespace quillet::resources::ja
