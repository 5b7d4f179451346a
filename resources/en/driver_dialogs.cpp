// Texts of the driver_dialogs area (en): dialogs 130, 131 and 132.
#include "parts.h"

namespace quillet::resources::en {

namespace {
const QuilletResourceText kEntries[] = {
    {"130.title", "Machine Driver Laser Settings"},
    {"130.label.machine", "Machine name:"},
    {"130.label.material", "Laser material name:"},
    {"130.label.condition", "Cutting condition:"},
    {"130.1046", "Simultaneous save option"},
    {"130.1", "OK (Save)"},
    {"130.2", "Cancel"},
    {"131.title", "Machine Driver Die Settings"},
    {"131.label.machine", "Machine name:"},
    {"131.label.layout", "Die layout name:"},
    {"131.label.tool", "T number:"},
    {"131.1051", "(Timing of the code output)"},
    {"131.1", "OK (Save)"},
    {"131.2", "Cancel"},
    {"132.title", "Machine Driver NC Creation Settings"},
    {"132.label.machine", "Machine name:"},
    {"132.1", "OK (Save)"},
    {"132.2", "Cancel"},
};
}  // namespace

const TextTable kDriverDialogs = MakeTable(kEntries);

}  // namespace quillet::resources::en
