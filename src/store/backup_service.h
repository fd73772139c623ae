#pragma once
// Backup and restore of the data sets: the five files of the data directory copied into the
// backup folder beside the executable, and back. Neither side is ever left half done: a
// backup is made in a folder of its own and replaces the old one only when complete, and a
// restore replaces the data files only when every copy is ready. No window, no message box.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// MyData_0.dat .. MyData_3.dat and Color.dat, in the order they are copied and stamped.
const std::vector<std::wstring>& BackupFileNames();

struct FileWorkResult {
    bool ok = false;
    std::wstring failedPath;  // the file or folder that stood in the way
    unsigned long error = 0;  // the system's error code there
    uint64_t stamp = 0;       // backup: the last-write time given to every copy (UTC FILETIME)
};

// Copies the five files into a new folder beside backupDir, gives every copy the last-write
// time of this moment to the second, and then replaces backupDir, files the user put there
// included. Refuses while Private's working copy MyData_2_2.dat exists: MyData_2.dat would
// not hold its latest entries. On failure backupDir is as it was.
FileWorkResult MakeBackup(const std::wstring& dataDir, const std::wstring& backupDir);

bool FolderExists(const std::wstring& path);

// Writes dir\MyData_<n>.dat with its initial contents: 0 the password file with the empty
// password, 1 Public, 2 Private (25 blank rows under the default password), 3 顔文字.
// Refuses to replace a file that exists.
bool CreateInitialBackupFile(const std::wstring& dir, int n, const std::function<void()>& letMessagesRun,
                             const std::function<void(int ms)>& pause);

// The password kept in backupDir\MyData_0.dat. The backup folder is only read (it may lie on
// a read-only medium): the plain form goes to a temporary file in scratchDir for a moment.
// nullopt when there is no readable password file.
std::optional<std::wstring> ReadBackupPassword(const std::wstring& backupDir, const std::wstring& scratchDir);

// Copies the backup's files over the data directory's, all or none: each is first copied
// beside its target, and the targets are replaced only when all copies are there; a
// replacement that fails puts back the ones already made. A backup without Color.dat keeps
// the current one. Refuses while Private's working copy exists (it would win over the restored
// MyData_2.dat). A plain password file left by an interrupted run goes, or it would win over
// the restored MyData_0.dat at the next start.
FileWorkResult RestoreBackup(const std::wstring& backupDir, const std::wstring& dataDir);
