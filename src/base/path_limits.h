#pragma once
// How long a path may be for a program without long-path support on Windows. Beyond it
// Windows refuses the file, and some file systems quietly shorten the name instead.
#include <algorithm>
#include <cstddef>
#include <string>

constexpr size_t kMaxPathChars = 259;  // MAX_PATH less its terminating zero
constexpr size_t kMaxNameChars = 255;  // one file or folder name

// The most characters a name may have so that dir + "\" + name + extension is such a path;
// extensionChars counts the dot.
inline size_t LongestName(const std::wstring& dir, size_t extensionChars) {
    const size_t used = dir.size() + 1 + extensionChars;
    const size_t byPath = used >= kMaxPathChars ? 0 : kMaxPathChars - used;
    return std::min(kMaxNameChars - extensionChars, byPath);
}
