#pragma once
// A data set out to a CSV file and back in, through the system's file dialogs and the preview.
#include <vector>

#include "e2e_scenarios.h"

namespace e2e {

// Scenario 100; it sets up the state it needs itself.
const std::vector<Scenario>& csvScenarios();

}  // namespace e2e
