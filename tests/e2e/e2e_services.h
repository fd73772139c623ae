#pragma once
// Restore checks, new copies with long names, the desktop shortcut renewed in place, the help
// page of a copy, misleading messages, and the uninstall after the About box.
#include <vector>

#include "e2e_scenarios.h"

namespace e2e {

// Scenarios 60 to 69; each sets up the state it needs itself.
const std::vector<Scenario>& serviceScenarios();

}  // namespace e2e
