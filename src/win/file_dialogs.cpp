#include "win/file_dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "win/late_bound.h"

namespace {

std::wstring DocumentsFolder() {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    return folder;
}

std::wstring Ask(HWND owner, const std::wstring& title, const std::wstring& defaultName, bool save) {
    static const wchar_t kFilter[] = L"CSV ファイル (*.csv)\0*.csv\0";
    std::vector<wchar_t> file(32768, L'\0');
    defaultName.copy(file.data(), std::min(defaultName.size(), file.size() - 1));
    const std::wstring folder = DocumentsFolder();
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = L"csv";
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL ok = save ? late::GetSaveFileNameW(&ofn) : late::GetOpenFileNameW(&ofn);
    return ok ? std::wstring(file.data()) : std::wstring();
}

}  // namespace

std::wstring AskSaveCsvPath(HWND owner, const std::wstring& title, const std::wstring& defaultName) {
    return Ask(owner, title, defaultName, true);
}

std::wstring AskOpenCsvPath(HWND owner, const std::wstring& title) { return Ask(owner, title, L"", false); }
