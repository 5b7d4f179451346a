// Texts of dialog 129, the PDL laser information settings (en).
#include "parts.h"

namespace quillet::resources::en {

namespace {
const QuilletResourceText kEntries[] = {
    {"129.title", "Other machine (PDL) laser information settings"},
    {"129.label.machine", "Machine name:"},
    {"129.label.material", "Laser material name:"},
    {"129.label.condition", "Cutting condition:"},
    {"129.column.value", "Value"},
    {"129.column.condition", "Condition"},
    {"129.group.value", "Setting value"},
    {"129.label.value", "Value:"},
    {"129.1001", "Apply"},
    {"129.group.description", "Item description"},
    {"129.1046", "Save option"},
    {"129.saveopt.line1", "Turn the check on when you want to save the same"},
    {"129.saveopt.line2", "setting values into other cutting-condition tables."},
    {"129.1", "OK (save)"},
    {"129.2", "Cancel"},
};
}  // namespace

const TextTable kDialog129 = MakeTable(kEntries);

}  // namespace quillet::resources::en
