// Texts of the dialog_129 area (en).
#include "parts.h"

namespace quillet::resources::en {

namespace {
const QuilletResourceText kEntries[] = {
    {"", ""},  // placeholder until the area's texts are added
};
}  // namespace

const TextTable kDialog129 = MakeTable(kEntries);

}  // namespace quillet::resources::en
