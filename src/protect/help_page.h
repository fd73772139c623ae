#pragma once
// The help page carried inside the executable, written beside the data and opened with the
// user's browser. The About box's home-page link opens the same page.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

inline const wchar_t kHelpFileName[] = L"help.html";

// The page's bytes (UTF-8 HTML) as the executable carries them.
std::optional<std::string> HelpPageBytes();

// OpenDocument's shape, so that tests can see what would be opened.
using OpenDocumentFn = std::function<bool(const std::wstring& path, int showMode, HWND owner)>;

// Writes the page into dir (again each time, so it matches the running version) and opens it
// in a normal window owned by owner. When it cannot be written or nothing opens it, the user
// is told where the page is (or that it could not be written). True when it was opened.
bool OpenHelpPage(const std::wstring& dir, HWND owner, const OpenDocumentFn& open);
