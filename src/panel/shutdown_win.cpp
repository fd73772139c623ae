#include "panel/shutdown_win.h"

#include <windows.h>

bool EnableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    TOKEN_PRIVILEGES tp{};
    bool ok = LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &tp.Privileges[0].Luid);
    if (ok) {
        tp.PrivilegeCount = 1;
        tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        TOKEN_PRIVILEGES previous{};
        DWORD length = 0;
        ok = AdjustTokenPrivileges(token, FALSE, &tp, sizeof tp, &previous, &length) != FALSE;
    }
    CloseHandle(token);
    return ok;
}

std::wstring WinPower::SystemDirectory() {
    wchar_t buf[256];
    UINT n = GetSystemDirectoryW(buf, 255);
    return n > 0 && n < 255 ? std::wstring(buf, n) : std::wstring();
}

bool WinPower::VersionQuery() {
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
    return GetVersionExW(&vi) != FALSE;
}

void WinPower::RequestShutdown(uint32_t flags) {
    // Not forced: other programs may still ask their users to save.
    ExitWindowsEx(flags, 0);
}
