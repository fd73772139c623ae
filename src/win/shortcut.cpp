#include "win/shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "win/app.h"

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
    std::wstring desktop = DesktopFolder();
    if (desktop.empty()) return false;
    bool ok = false;
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        std::wstring target = ProgramDir() + L"\\" + name + L".exe";
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->SetPath(target.c_str())) &&
            SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            std::wstring path = desktop + L"\\" + name + L".lnk";
            ok = SUCCEEDED(file->Save(path.c_str(), TRUE)) &&
                 GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return ok;
}
