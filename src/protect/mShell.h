#pragma once
// Hands a document, an address or a command line to the shell's "open".
#include <windows.h>

#include <string>

// True when the system's search order finds a file of that name (folders do not count:
// they cannot be run, and a path with spaces would otherwise be cut at a folder).
bool FindOnPath(const std::wstring& name);

// Opens commandLine (split as mshell::SplitCommandLine says); when the shell refuses, starts
// the whole line as a program. With wait, returns once the started process has ended, letting
// window messages run meanwhile. True when something was started.
bool ShellOpen(const std::wstring& commandLine, int showMode, HWND owner, bool wait);
