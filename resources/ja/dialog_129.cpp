// Texts of the dialog_129 area (ja).
#include "parts.h"

namespace quillet::resources::ja {

namespace {
const QuilletResourceText kEntries[] = {
    {"", ""},  // placeholder until the area's texts are added
};
}  // namespace

const TextTable kDialog129 = MakeTable(kEntries);

}  // namespace quillet::resources::ja
