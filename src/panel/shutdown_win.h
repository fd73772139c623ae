#pragma once
// Shutting the computer down: the process's shutdown privilege and the request to Windows.
#include "panel/fortune_logic.h"

// Enables the shutdown privilege of this process; true when Windows accepted the change.
bool EnableShutdownPrivilege();

class WinPower : public fortune::IPower {
public:
    std::wstring SystemDirectory() override;
    bool VersionQuery() override;
    bool EnableShutdownPrivilege() override { return ::EnableShutdownPrivilege(); }
    void RequestShutdown(uint32_t flags) override;
};
