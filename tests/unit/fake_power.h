#pragma once
// Records what the fortune screen's button asks of Windows, in order.
#include <string>
#include <vector>

#include "panel/fortune_logic.h"

struct FakePower : fortune::IPower {
    std::wstring systemDir = L"C:\\windows\\system32";
    bool versionOk = true, privilegeOk = true;
    std::vector<std::wstring> calls;
    std::wstring SystemDirectory() override { calls.push_back(L"sysdir"); return systemDir; }
    bool VersionQuery() override { calls.push_back(L"version"); return versionOk; }
    bool EnableShutdownPrivilege() override { calls.push_back(L"privilege"); return privilegeOk; }
    void RequestShutdown(uint32_t flags) override { calls.push_back(L"shutdown " + std::to_wstring(flags)); }
};
