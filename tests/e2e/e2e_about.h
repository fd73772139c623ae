#pragma once
// The help menu from outside: the About box, the fortune, the help page, the uninstall question.
#include <vector>

#include "e2e_hariko.h"
#include "e2e_scenarios.h"

namespace e2e {

const std::vector<Scenario>& aboutScenarios();  // 50 to 59

// Opens the About box, clicks "uninstall" and answers Yes; true when it asked and went away.
bool ConfirmUninstall(Report& rep, Hariko& h, const std::wstring& what);

}  // namespace e2e
