#pragma once
// Folder helpers shared by the Win32 tests.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

// Names in dir (no "." and ".."), sorted.
inline std::vector<std::wstring> FilesIn(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring n = fd.cFileName;
        if (n != L"." && n != L"..") names.push_back(n);
    } while (FindNextFileW(f, &fd));
    FindClose(f);
    std::sort(names.begin(), names.end());
    return names;
}

// Removes dir and everything below it, read-only files included.
inline void RemoveTree(const std::wstring& dir) {
    for (const auto& n : FilesIn(dir)) {
        std::wstring p = dir + L"\\" + n;
        SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileW(p.c_str())) RemoveTree(p);
    }
    RemoveDirectoryW(dir.c_str());
}
