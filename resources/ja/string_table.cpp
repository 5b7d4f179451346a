// The string table (ja).
#include "parts.h"

namespace quillet::resources::ja {

namespace {
const QuilletResourceText kEntries[] = {
    {"", ""},  // placeholder until the table is written
};
}  // namespace

const TextTable kStringTable = MakeTable(kEntries);

}  // namespace quillet::resources::ja
