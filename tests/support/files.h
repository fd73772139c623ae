#pragma once
// Files and folders as the tests see them: whole files as bytes, folder listings, and
// throw-away folders under the temporary directory.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

inline bool FileExists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

inline bool FolderExists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Names in `dir` (files and folders, no "." and ".."), sorted.
inline std::vector<std::wstring> FolderEntries(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring n = fd.cFileName;
        if (n != L"." && n != L"..") names.push_back(n);
    } while (FindNextFileW(find, &fd));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// Reads while others have the file open, as the program's readers do.
inline std::optional<std::string> ReadFileBytes(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string data;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) data.append(buf, got);
    CloseHandle(f);
    return data;
}

// "<missing>" for a file that cannot be read, so a failed comparison shows what went wrong.
inline std::string BytesOf(const std::wstring& path) { return ReadFileBytes(path).value_or("<missing>"); }

// The whole file, then its attributes (read-only, hidden...) when others are asked for.
inline bool WriteFileBytes(const std::wstring& path, const std::string& bytes,
                           DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    const bool ok = bytes.empty() ||
                    (WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size());
    return CloseHandle(f) && ok && (attributes == FILE_ATTRIBUTE_NORMAL || SetFileAttributesW(path.c_str(), attributes));
}

// Removes `dir` and everything below it, read-only files included.
inline void RemoveTree(const std::wstring& dir) {
    if (dir.size() < 4) return;  // never a drive root
    for (const std::wstring& n : FolderEntries(dir)) {
        const std::wstring p = dir + L"\\" + n;
        SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileW(p.c_str())) RemoveTree(p);
    }
    RemoveDirectoryW(dir.c_str());
}

// The temporary directory without its trailing backslash.
inline std::wstring TempDirectory() {
    wchar_t buf[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, buf);
    std::wstring s(buf, n <= MAX_PATH ? n : 0);
    while (!s.empty() && s.back() == L'\\') s.pop_back();
    return s;
}

// An empty folder of that name in the temporary directory (whatever was there is gone).
inline std::wstring FreshFolder(const std::wstring& name) {
    const std::wstring dir = TempDirectory() + L"\\" + name;
    RemoveTree(dir);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

}  // namespace testsupport
