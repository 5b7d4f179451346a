// The string table (en).
#include "parts.h"

namespace quillet::resources::en {

namespace {
const QuilletResourceText kEntries[] = {
    {"", ""},  // placeholder until the table is written
};
}  // namespace

const TextTable kStringTable = MakeTable(kEntries);

}  // namespace quillet::resources::en
