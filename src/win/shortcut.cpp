#include "win/shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "base/path_limits.h"
#include "win/app.h"

namespace {

// Writes a link to target into the file at path (which exists, empty).
bool SaveLink(const std::wstring& path, const std::wstring& target) {
    bool ok = false;
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->SetPath(target.c_str())) &&
            SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            ok = SUCCEEDED(file->Save(path.c_str(), TRUE));
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return ok;
}

}  // namespace

std::wstring DesktopFolder() {
    wchar_t buf[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, buf)))
        return L"";
    std::wstring s = buf;
    while (s.size() > 3 && s.back() == L'\\') s.pop_back();
    return s;
}

std::wstring ShortcutPath(const std::wstring& name) { return DesktopFolder() + L"\\" + name + L".lnk"; }

bool MakeShortcut(const std::wstring& name) {
    const std::wstring desktop = DesktopFolder();
    if (desktop.empty() || name.size() > LongestName(desktop, 4)) return false;
    const std::wstring path = desktop + L"\\" + name + L".lnk";
    // Written whole beside it first and then put in its place: a link that cannot be renewed
    // stays as it was (the shell's own save truncates the file first, and drops it on failure).
    wchar_t temp[MAX_PATH];
    if (!GetTempFileNameW(desktop.c_str(), L"lnk", 0, temp)) return false;
    if (!SaveLink(temp, ProgramDir() + L"\\" + name + L".exe") ||
        !MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp);
        return false;
    }
    return FileCarriesName(path);
}
