#pragma once
// Desktop shortcuts to the program (or to a copy of it under another name).
#include <string>

std::wstring DesktopFolder();                       // the user's desktop, no trailing backslash
std::wstring ShortcutPath(const std::wstring& name); // desktop + "\" + name + ".lnk"
// Creates (replacing) desktop\name.lnk whose only property is its target,
// program directory\name.exe. False when the link could not be written.
bool MakeShortcut(const std::wstring& name);
