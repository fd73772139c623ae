#pragma once
// Per-user settings kept where classic programs keep theirs:
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app>\<section>, one REG_SZ value per key.
// Values are text; callers convert numbers themselves.
#include <string>

// The stored text, or defaultValue when the key (or its section or application) is missing.
std::wstring GetSetting(const std::wstring& app, const std::wstring& section,
                        const std::wstring& key, const std::wstring& defaultValue = L"");

// Creates or replaces the key. False when the store refused it.
bool SaveSetting(const std::wstring& app, const std::wstring& section, const std::wstring& key,
                 const std::wstring& value);

// Removes every section and key of the application. True when nothing of it is left.
bool DeleteSetting(const std::wstring& app);
