#pragma once
// A copy named with a space (its shortcut renewed in place, its help page), the restore's
// checks and the damaged password file.
#include <vector>

#include "e2e_scenarios.h"

namespace e2e {

// Scenarios 80 to 89; each sets up the state it needs itself.
const std::vector<Scenario>& serviceScenarios();

}  // namespace e2e
