#pragma once
// The help menu from outside: the About box, the fortune, the help page and the uninstall
// question.
#include <string>
#include <vector>

#include "e2e_hariko.h"
#include "e2e_report.h"
#include "e2e_scenarios.h"

namespace e2e {

// Scenarios 50 to 59; each sets up the state it needs itself.
const std::vector<Scenario>& aboutScenarios();

// Opens the About box from the menu, clicks "uninstall" and answers the question with Yes;
// true when the box asked as it should and went away.
bool ConfirmUninstall(Report& rep, Hariko& h, const std::wstring& what);

}  // namespace e2e
