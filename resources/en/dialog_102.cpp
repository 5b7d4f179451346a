// Texts of dialog 102, the NC data settings of other machines (en).
#include "parts.h"

namespace quillet::resources::en {

namespace {
const QuilletResourceText kEntries[] = {
    {"102.title", "NC Data Settings for Other Machines"},
    {"102.label.machine", "Machine name:"},
    {"102.label.material", "Laser material name:"},
    {"102.group.head_end", "Head / End"},
    {"102.label.nc_start", "NC data head"},
    {"102.label.after_g92", "After G92"},
    {"102.label.nc_end", "NC data end"},
    {"102.group.origin", "Machining origin code"},
    {"102.group.machine_stop", "Machine STOP code"},
    {"102.group.k", "K (marking)"},
    {"102.group.l", "L"},
    {"102.group.m", "M"},
    {"102.group.h", "H"},
    {"102.label.condition", "Cutting condition"},
    {"102.label.cut_start", "Cut start"},
    {"102.label.cut_end", "Cut end"},
    {"102.1001", "Clear all"},
    {"102.1008", "Register master"},
    {"102.1016", "Load master"},
    {"102.1", "OK"},
    {"102.2", "Cancel"},
    {"102.text_too_long", "A text is too long. Each item may hold at most 499 bytes."},
    {"102.write_failed", "The NC data settings file could not be written."},
};
}  // namespace

const TextTable kDialog102 = MakeTable(kEntries);

}  // namespace quillet::resources::en
