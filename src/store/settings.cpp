#include "store/settings.h"

#include <windows.h>
#include <shlwapi.h>

#include <vector>

namespace {

const std::wstring kRoot = L"Software\\VB and VBA Program Settings";

// An empty name or one holding a backslash would address some other key: an empty
// application name would even take every program's settings with it on deletion.
bool IsPlainName(const std::wstring& name) {
    return !name.empty() && name.find(L'\\') == std::wstring::npos;
}

std::wstring AppPath(const std::wstring& app) { return kRoot + L"\\" + app; }

}  // namespace

std::wstring GetSetting(const std::wstring& app, const std::wstring& section,
                        const std::wstring& key, const std::wstring& defaultValue) {
    if (!IsPlainName(app) || !IsPlainName(section) || key.empty()) return defaultValue;
    HKEY hkey;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, (AppPath(app) + L"\\" + section).c_str(), 0,
                      KEY_QUERY_VALUE, &hkey) != ERROR_SUCCESS)
        return defaultValue;
    std::wstring result = defaultValue;
    std::vector<BYTE> data(256);
    for (;;) {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        LONG rc = RegQueryValueExW(hkey, key.c_str(), nullptr, &type, data.data(), &size);
        if (rc == ERROR_MORE_DATA) {
            data.resize(size + sizeof(wchar_t));
            continue;
        }
        if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
            // Stored strings need not end in a NUL; the text ends at the first one.
            std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
            result = text.substr(0, text.find(L'\0'));
        }
        break;
    }
    RegCloseKey(hkey);
    return result;
}

bool SaveSetting(const std::wstring& app, const std::wstring& section, const std::wstring& key,
                 const std::wstring& value) {
    if (!IsPlainName(app) || !IsPlainName(section) || key.empty()) return false;
    HKEY hkey;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, (AppPath(app) + L"\\" + section).c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &hkey, nullptr) != ERROR_SUCCESS)
        return false;
    std::wstring text = value.substr(0, value.find(L'\0'));
    LONG rc = RegSetValueExW(hkey, key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(hkey);
    return rc == ERROR_SUCCESS;
}

bool DeleteSetting(const std::wstring& app) {
    if (!IsPlainName(app)) return false;
    LSTATUS rc = SHDeleteKeyW(HKEY_CURRENT_USER, AppPath(app).c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}
