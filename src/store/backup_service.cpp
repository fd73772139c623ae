#include "store/backup_service.h"

#include <windows.h>

#include "base/stored_names.h"
#include "store/file_cipher.h"
#include "store/datafiles.h"
#include "store/dataset_check_logic.h"
#include "store/dataset_format.h"
#include "store/passwordfile.h"
#include "store/sealed_file.h"

namespace {

// Removes a file or a folder with everything below it, read-only files included. A link to
// another folder is removed itself; what it points to is left alone.
void RemoveTree(const std::wstring& path) {
    DWORD attr = GetFileAttributesW(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES) return;
    if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
        return;
    }
    if (!(attr & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = fd.cFileName;
                if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
            } while (FindNextFileW(h, &fd));
            FindClose(h);
        }
    }
    RemoveDirectoryW(path.c_str());
}

bool AnythingAt(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

FileWorkResult Failed(const std::wstring& path, DWORD error) {
    FileWorkResult r;
    r.failedPath = path;
    r.error = error ? error : ERROR_GEN_FAILURE;
    return r;
}

// This moment to the whole second, as the UTC file time of the local clock reading.
FILETIME StampOfNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    st.wMilliseconds = 0;
    FILETIME local{}, utc{};
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

bool SetLastWriteTime(const std::wstring& path, const FILETIME& t) {
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = SetFileTime(h, nullptr, nullptr, &t) != FALSE;
    DWORD error = GetLastError();
    CloseHandle(h);
    SetLastError(error);
    return ok;
}

// A new folder backupDir + stored::kKeptBeforeRestore + the local date and time (and a
// number when that is taken). Empty when none could be made; failedName then says which one.
std::wstring NewKeepFolder(const std::wstring& backupDir, std::wstring* failedName) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    wchar_t stamp[32];
    swprintf(stamp, 32, L"%04u%02u%02u-%02u%02u%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
             st.wSecond);
    for (int n = 0; n < 100; ++n) {
        *failedName = backupDir + stored::kKeptBeforeRestore + stamp + (n ? L"_" + std::to_wstring(n) : L"");
        if (CreateDirectoryW(failedName->c_str(), nullptr)) return *failedName;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return L"";
}

}  // namespace

const std::vector<std::wstring>& BackupFileNames() {
    using namespace stored;
    static const std::vector<std::wstring> names = {kPasswordFile, kPublicFile, kPrivateFile, kKaomojiFile,
                                                    kColourFile};
    return names;
}

bool FolderExists(const std::wstring& path) {
    DWORD attr = GetFileAttributesW(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

FileWorkResult MakeBackup(const std::wstring& dataDir, const std::wstring& backupDir) {
    const std::wstring working = dataDir + L"\\" + stored::kPrivateWorkingCopy;
    if (AnythingAt(working)) return Failed(working, ERROR_FILE_EXISTS);

    // An interrupted backup may have left either of these; neither is anyone's only copy.
    // A file of the folder's name is the user's, not an older backup.
    if (AnythingAt(backupDir) && !FolderExists(backupDir)) return Failed(backupDir, ERROR_DIRECTORY);
    const std::wstring fresh = backupDir + L".new", old = backupDir + L".old";
    RemoveTree(fresh);
    if (!CreateDirectoryW(fresh.c_str(), nullptr)) return Failed(fresh, GetLastError());
    auto abandon = [&](const std::wstring& path) {
        DWORD error = GetLastError();
        RemoveTree(fresh);
        return Failed(path, error);
    };
    for (const std::wstring& name : BackupFileNames()) {
        const std::wstring from = dataDir + L"\\" + name;
        if (!CopyFileW(from.c_str(), (fresh + L"\\" + name).c_str(), FALSE)) return abandon(from);
    }
    const FILETIME stamp = StampOfNow();
    for (const std::wstring& name : BackupFileNames())
        if (!SetLastWriteTime(fresh + L"\\" + name, stamp)) return abandon(fresh + L"\\" + name);

    const bool hadOld = AnythingAt(backupDir);
    if (hadOld) {
        RemoveTree(old);
        if (!MoveFileExW(backupDir.c_str(), old.c_str(), 0)) return abandon(backupDir);
    }
    if (!MoveFileExW(fresh.c_str(), backupDir.c_str(), 0)) {
        DWORD error = GetLastError();
        if (hadOld) MoveFileExW(old.c_str(), backupDir.c_str(), 0);
        SetLastError(error);
        return abandon(backupDir);
    }
    if (hadOld) RemoveTree(old);
    FileWorkResult r;
    r.ok = true;
    r.stamp = (static_cast<uint64_t>(stamp.dwHighDateTime) << 32) | stamp.dwLowDateTime;
    return r;
}

bool CreateInitialBackupFile(const std::wstring& dir, int n, const std::function<void()>& letMessagesRun,
                             const std::function<void(int ms)>& pause, const std::wstring& privateKey) {
    const std::wstring path = dir + L"\\" + stored::DataFileName(n);
    switch (n) {
    case 0: {
        if (AnythingAt(path)) return false;
        bool ok = WritePasswordFile(dir, L"", 100, letMessagesRun, pause);
        pause(100);
        letMessagesRun();
        return ok;
    }
    case 1: return WriteNewFile(path, EncodeDataSet(InitialPublicEntries(), ColourForm::HexText).bytes);
    case 2: {
        bool ok = CreateInitialPrivateFile(dir, letMessagesRun, pause, privateKey);
        pause(100);
        letMessagesRun();
        return ok;
    }
    case 3: return WriteNewFile(path, EncodeDataSet(InitialKaomojiEntries(), ColourForm::HexText).bytes);
    }
    return false;
}

bool BackupPrivateSealed(const std::wstring& backupDir) {
    const std::optional<std::string> bytes = ReadAllBytes(backupDir + L"\\" + stored::kPrivateFile);
    return bytes && sealed::LooksSealed(*bytes);
}

std::optional<std::wstring> ReadBackupPassword(const std::wstring& backupDir) {
    auto cipher = ReadAllBytes(backupDir + L"\\" + stored::kPasswordFile);
    auto bytes = cipher ? CipherBytes(*cipher, DefaultPassword()) : std::nullopt;
    if (!bytes) return std::nullopt;
    auto password = PasswordFrom(*bytes);
    SecureZeroMemory(bytes->data(), bytes->size());
    return password;
}

namespace {

std::optional<ULONGLONG> SizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a)) return std::nullopt;
    return (static_cast<ULONGLONG>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

}  // namespace

BackupCheck CheckBackupFiles(const std::wstring& backupDir, const std::wstring& scratchDir,
                             const std::wstring& privateKey) {
    BackupCheck c;
    auto fault = [&](BackupFault f, const std::wstring& path, DWORD error = 0) {
        c.fault = f;
        c.path = path;
        c.error = error;
        return c;
    };
    ULONGLONG total = 0;
    for (const std::wstring& name : BackupFileNames()) total += SizeOf(backupDir + L"\\" + name).value_or(0);
    if (DWORD error = RoomFor(scratchDir, 2 * total)) return fault(BackupFault::NoRoom, scratchDir, error);

    for (const std::wstring name : {stored::kPublicFile, stored::kPrivateFile, stored::kKaomojiFile,
                                    stored::kColourFile}) {
        const std::wstring path = backupDir + L"\\" + name;
        if (name == stored::kColourFile && !AnythingAt(path)) continue;  // the current one stays
        std::optional<std::string> bytes = ReadAllBytes(path);
        if (!bytes) return fault(BackupFault::Unreadable, path, GetLastError());
        if (name == stored::kColourFile && !IsColourList(*bytes)) return fault(BackupFault::NotColours, path);
        if (name != stored::kPrivateFile) continue;
        // Sealed: opened here, so that a wrong password or a damaged file replaces nothing.
        if (sealed::LooksSealed(*bytes)) {
            std::optional<std::string> plain;
            if (auto key = sealed::KeyForFile(*bytes, privateKey)) plain = sealed::Open(*key, *bytes);
            const bool good = plain && IsWellFormedDataSet(*plain);
            if (plain) SecureZeroMemory(plain->data(), plain->size());
            if (!good) return fault(BackupFault::WrongKey, path);
            continue;
        }
        std::optional<std::string> plain = CipherBytes(*bytes, privateKey);
        const bool good = plain && IsWellFormedDataSet(*plain);
        if (plain) SecureZeroMemory(plain->data(), plain->size());
        if (!good) return fault(BackupFault::WrongKey, path);
    }
    return c;
}

FileWorkResult RestoreBackup(const std::wstring& backupDir, const std::wstring& dataDir) {
    const std::wstring working = dataDir + L"\\" + stored::kPrivateWorkingCopy;
    if (AnythingAt(working)) return Failed(working, ERROR_FILE_EXISTS);

    struct Step {
        std::wstring from, target, staged, kept;
        bool existed = false;
    };
    std::vector<Step> steps;
    for (const std::wstring& name : BackupFileNames()) {
        Step s;
        s.from = backupDir + L"\\" + name;
        if (name == stored::kColourFile && !AnythingAt(s.from)) continue;
        s.target = dataDir + L"\\" + name;
        // *.tmp: start-up removes what a killed run leaves; the targets are untouched until then.
        s.staged = s.target + L".restore.tmp";
        s.kept = s.target + L".keep.tmp";
        steps.push_back(s);
    }
    auto cleanUp = [&] {
        for (const Step& s : steps) {
            DeleteFileW(s.staged.c_str());
            SetFileAttributesW(s.kept.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only target's copy
            DeleteFileW(s.kept.c_str());
        }
    };
    std::wstring keepName;
    const std::wstring keep = NewKeepFolder(backupDir, &keepName);
    if (keep.empty()) return Failed(keepName, GetLastError());
    auto abandon = [&](const std::wstring& path) {
        DWORD error = GetLastError();
        cleanUp();
        RemoveTree(keep);
        return Failed(path, error);
    };

    for (Step& s : steps) {
        DeleteFileW(s.staged.c_str());
        if (!CopyFileW(s.from.c_str(), s.staged.c_str(), FALSE)) {
            // The backup's file reads: the data folder is what refused (full, not writable).
            const DWORD error = GetLastError();
            const bool readable = ReadAllBytes(s.from).has_value();
            SetLastError(error);
            return abandon(readable ? s.staged : s.from);
        }
        // Copies from a CD or a read-only folder keep that attribute; data files must not.
        SetFileAttributesW(s.staged.c_str(), FILE_ATTRIBUTE_NORMAL);
        s.existed = AnythingAt(s.target);
        if (s.existed && (!CopyFileW(s.target.c_str(), s.kept.c_str(), FALSE) ||
                          !CopyFileW(s.target.c_str(), (keep + s.target.substr(dataDir.size())).c_str(), FALSE)))
            return abandon(s.target);
    }
    for (size_t i = 0; i < steps.size(); ++i) {
        if (MoveFileExW(steps[i].staged.c_str(), steps[i].target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            continue;
        DWORD error = GetLastError();
        for (size_t j = 0; j < i; ++j) {
            if (steps[j].existed)
                MoveFileExW(steps[j].kept.c_str(), steps[j].target.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
            else
                DeleteFileW(steps[j].target.c_str());
        }
        SetLastError(error);
        return abandon(steps[i].target);
    }
    cleanUp();
    DeleteFileW((dataDir + L"\\" + stored::kPlainPasswordFile).c_str());
    FileWorkResult r;
    r.ok = true;
    r.keptIn = keep;
    return r;
}

FileWorkResult KeepBeforeReplace(const std::wstring& backupDir, const std::wstring& fileName,
                                 const std::string& bytes) {
    std::wstring keepName;
    const std::wstring keep = NewKeepFolder(backupDir, &keepName);
    if (keep.empty()) return Failed(keepName, GetLastError());
    if (!WriteNewFile(keep + L"\\" + fileName, bytes)) {
        const FileWorkResult r = Failed(keep + L"\\" + fileName, GetLastError());
        RemoveTree(keep);
        return r;
    }
    FileWorkResult r;
    r.ok = true;
    r.keptIn = keep;
    return r;
}
