#pragma once
// How ShellOpen splits a command line into the file to open and its parameters.
#include <functional>
#include <string>

namespace shell_open {

struct Split {
    std::wstring file;
    std::wstring parameters;
};

// The text before a space (never a space at the very start) is the file when the system's
// search finds it; the first such prefix wins. Otherwise the whole line is the file, so an
// address or a mail link with spaces goes to the shell unchanged.
Split SplitCommandLine(const std::wstring& commandLine,
                       const std::function<bool(const std::wstring&)>& findOnPath);

}  // namespace shell_open
