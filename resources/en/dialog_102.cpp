// Texts of the dialog_102 area (en).
#include "parts.h"

namespace quillet::resources::en {

namespace {
const QuilletResourceText kEntries[] = {
    {"", ""},  // placeholder until the area's texts are added
};
}  // namespace

const TextTable kDialog102 = MakeTable(kEntries);

}  // namespace quillet::resources::en
