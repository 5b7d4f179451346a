// quillet-host commands of this area.
#include "cli.h"

namespace quillet::host {

std::vector<Command> PdlCommands() { return {}; }

}  // namespace quillet::host
