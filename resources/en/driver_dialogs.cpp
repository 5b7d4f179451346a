// Texts of the driver_dialogs area (en).
#include "parts.h"

namespace quillet::resources::en {

namespace {
const QuilletResourceText kEntries[] = {
    {"", ""},  // placeholder until the area's texts are added
};
}  // namespace

const TextTable kDriverDialogs = MakeTable(kEntries);

}  // namespace quillet::resources::en
