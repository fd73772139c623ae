#pragma once
// The registry key where older versions kept the Private password (read once, then removed).
#include <windows.h>

#include <string>

// The value's text as an ANSI (code page 932) program reading it into 1024 bytes would get:
// up to the first NUL; empty when the key or value is missing or does not fit.
std::wstring GetRegString(HKEY root, const std::wstring& subkey, const std::wstring& valueName);

// Creates the key when needed and stores value as REG_SZ. True only when the value was set.
bool SetRegString(HKEY root, const std::wstring& subkey, const std::wstring& valueName,
                  const std::wstring& value);

// Deletes one key under HKEY_LOCAL_MACHINE; fails while it still has subkeys.
bool DeleteRegKey(const std::wstring& subkey);
