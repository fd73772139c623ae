#pragma once
#include <vector>

#include "e2e_scenarios.h"

namespace e2e {
// The panel's mouse and keys, Private kept safe through damage and odd states, Windows
// ending the session, a place off the screen.
const std::vector<Scenario>& HardenScenarios();
}  // namespace e2e
