#pragma once
// The panel without the mouse: the Ctrl+Alt keys of ﾎｯﾄｷｰを使う.
#include <vector>

#include "e2e_scenarios.h"

namespace e2e {

const std::vector<Scenario>& KeysScenarios();  // 95

}  // namespace e2e
