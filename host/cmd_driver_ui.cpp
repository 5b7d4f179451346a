// quillet-host commands of this area.
#include "cli.h"

namespace quillet::host {

std::vector<Command> DriverUiCommands() { return {}; }

}  // namespace quillet::host
