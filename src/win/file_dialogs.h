#pragma once
// The system's own file dialogs for a CSV file, opened in the user's Documents folder. The path
// chosen, or empty when the user cancelled.
#include <windows.h>

#include <string>

// The dialog asks itself before an existing file is replaced.
std::wstring AskSaveCsvPath(HWND owner, const std::wstring& title, const std::wstring& defaultName);
std::wstring AskOpenCsvPath(HWND owner, const std::wstring& title);
