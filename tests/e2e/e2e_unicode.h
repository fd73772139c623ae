#pragma once
// Characters beyond code page 932 from the keyboard to notepad, through the data files in
// both encodings; and a record the writer cannot store never costs the others.
#include <vector>

#include "e2e_scenarios.h"

namespace e2e {

// Scenarios 60 to 69; each sets up the state it needs itself.
const std::vector<Scenario>& unicodeScenarios();

}  // namespace e2e
