#include "store/regkey.h"

#include <vector>

namespace {

constexpr DWORD kAnsiBufferSize = 1024;

size_t Cp932Length(const std::wstring& text) {
    if (text.empty()) return 0;
    int n = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    return n > 0 ? static_cast<size_t>(n) : text.size() * 2;
}

std::wstring FromCp932Bytes(const BYTE* bytes, size_t size) {
    if (size == 0) return {};
    int n = MultiByteToWideChar(932, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(size),
                                nullptr, 0);
    if (n <= 0) return {};
    std::wstring text(static_cast<size_t>(n), L'\0');
    n = MultiByteToWideChar(932, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(size),
                            text.data(), n);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

}  // namespace

// Read through the wide API so the text does not depend on the system's ANSI code page; the
// 1024-byte limit is applied to the value's code page 932 form as the ANSI reader had it.
std::wstring GetRegString(HKEY root, const std::wstring& subkey, const std::wstring& valueName) {
    HKEY hkey;
    if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_QUERY_VALUE, &hkey) != ERROR_SUCCESS) return {};
    DWORD type = 0;
    DWORD size = 0;
    std::vector<BYTE> data;
    LONG rc = RegQueryValueExW(hkey, valueName.c_str(), nullptr, &type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        data.resize(size + sizeof(wchar_t));
        rc = RegQueryValueExW(hkey, valueName.c_str(), nullptr, &type, data.data(), &size);
    }
    RegCloseKey(hkey);
    if (rc != ERROR_SUCCESS) return {};

    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
        text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
        if (Cp932Length(text) + 1 > kAnsiBufferSize) return {};
        return text;
    }
    if (size > kAnsiBufferSize) return {};
    size_t end = 0;
    while (end < size && data[end] != 0) ++end;
    return FromCp932Bytes(data.data(), end);
}

// Stored through the wide API with the exact length of the text and its NUL, so nothing past
// the text lands in the value.
bool SetRegString(HKEY root, const std::wstring& subkey, const std::wstring& valueName,
                  const std::wstring& value) {
    HKEY hkey;
    if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hkey,
                        nullptr) != ERROR_SUCCESS)
        return false;
    std::wstring text = value.substr(0, value.find(L'\0'));
    LONG rc = RegSetValueExW(hkey, valueName.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(hkey);
    return rc == ERROR_SUCCESS;
}

bool DeleteRegKey(const std::wstring& subkey) {
    if (subkey.empty()) return false;
    return RegDeleteKeyW(HKEY_LOCAL_MACHINE, subkey.c_str()) == ERROR_SUCCESS;
}
