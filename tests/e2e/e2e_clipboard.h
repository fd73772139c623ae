#pragma once
// The clipboard as the user left it: restore after pasting, Private kept out of clipboard
// history, Shift+click typing.
#include <vector>

#include "e2e_scenarios.h"

namespace e2e {

const std::vector<Scenario>& ClipboardScenarios();  // 70

}  // namespace e2e
