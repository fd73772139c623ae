#pragma once
// The program's life from outside: the first start and the desktop shortcut, a start in
// 文書ﾓｰﾄﾞ, the Private password from registration to switching it off, the conversion of
// an older version's data, closing, and the uninstall.
#include <vector>

#include "e2e_scenarios.h"

namespace e2e {

// Scenarios 11 to 16; each sets up the state it needs itself.
const std::vector<Scenario>& LifeScenarios();

}  // namespace e2e
