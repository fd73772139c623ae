#include "protect/shell_open.h"

#include <shellapi.h>

#include "protect/shell_open_logic.h"
#include "win/app.h"

namespace {

void WaitForProcess(HANDLE process) {
    DWORD code = STILL_ACTIVE;
    while (GetExitCodeProcess(process, &code) && code == STILL_ACTIVE) {
        DoEvents();
        Sleep(100);
    }
}

}  // namespace

bool FindOnPath(const std::wstring& name) {
    wchar_t found[261];
    DWORD n = SearchPathW(nullptr, name.c_str(), nullptr, 261, found, nullptr);
    if (n == 0 || n >= 261) return false;
    DWORD attributes = GetFileAttributesW(found);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool OpenDocument(const std::wstring& path, int showMode, HWND owner) {
    SHELLEXECUTEINFOW sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_FLAG_NO_UI;
    sei.hwnd = owner;
    sei.lpVerb = L"open";
    sei.lpFile = path.c_str();
    sei.nShow = showMode;
    return ShellExecuteExW(&sei) != FALSE;
}

bool ShellOpen(const std::wstring& commandLine, int showMode, HWND owner, bool wait) {
    const shell_open::Split split = shell_open::SplitCommandLine(commandLine, FindOnPath);
    SHELLEXECUTEINFOW sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_FLAG_NO_UI | (wait ? SEE_MASK_NOCLOSEPROCESS : 0);
    sei.hwnd = owner;
    sei.lpVerb = L"open";
    sei.lpFile = split.file.c_str();
    sei.lpParameters = split.parameters.c_str();
    sei.lpDirectory = L"";
    sei.nShow = showMode;
    if (ShellExecuteExW(&sei)) {
        if (wait && sei.hProcess) {
            WaitForProcess(sei.hProcess);
            CloseHandle(sei.hProcess);
        }
        return true;
    }
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    std::wstring line = commandLine;  // CreateProcessW may write into it
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    if (wait) WaitForProcess(pi.hProcess);
    CloseHandle(pi.hProcess);
    return true;
}
