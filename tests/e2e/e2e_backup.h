#pragma once
// Backup and restore of the data sets, new copies of the program and desktop shortcuts,
// worked through the panel's menu and the dialogs.
#include <vector>

#include "e2e_scenarios.h"

namespace e2e {

// Scenarios 40 to 42; each sets up the state it needs itself.
const std::vector<Scenario>& backupScenarios();

}  // namespace e2e
