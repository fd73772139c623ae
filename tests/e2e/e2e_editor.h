#pragma once
// The data editor from outside: entries typed, moved and coloured in the entry editor, a text
// edited in the text editor, Private's working copy, and what the panel then pastes.
#include <vector>

#include "e2e_scenarios.h"

namespace e2e {

// Scenarios 30 to 39; each sets up the state it needs itself.
const std::vector<Scenario>& editorScenarios();

}  // namespace e2e
