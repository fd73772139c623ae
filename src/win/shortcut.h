#pragma once
// Desktop shortcuts to the program (or to a copy of it under another name).
#include <string>

std::wstring DesktopFolder();                       // the user's desktop, no trailing backslash
std::wstring ShortcutPath(const std::wstring& name); // desktop + "\" + name + ".lnk"
// Creates desktop\name.lnk whose only property is its target, program directory\name.exe.
// An existing link of that name is replaced in one step, and only by a complete new one.
// False when the link could not be written (an existing one is then left as it was) or its
// path would be too long.
bool MakeShortcut(const std::wstring& name);
