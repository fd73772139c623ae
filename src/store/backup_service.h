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

#include "store/password_state.h"

// MyData_0.dat .. MyData_3.dat and Color.dat, in the order they are copied and stamped.
const std::vector<std::wstring>& BackupFileNames();

struct FileWorkResult {
    bool ok = false;
    std::wstring failedPath;  // the file or folder that stood in the way
    unsigned long error = 0;  // the system's error code there
    uint64_t stamp = 0;       // backup: the last-write time given to every copy (UTC FILETIME)
    std::wstring keptIn;      // restore: the folder that holds the files it replaced
};

// Copies the five files into a new folder beside backupDir, gives every copy the last-write
// time of this moment to the second, and then replaces backupDir, files the user put there
// included. Refuses while Private's working copy MyData_2_2.dat exists: MyData_2.dat would
// not hold its latest entries, and when a file (no folder) has backupDir's name. On failure
// backupDir is as it was.
FileWorkResult MakeBackup(const std::wstring& dataDir, const std::wstring& backupDir);

bool FolderExists(const std::wstring& path);

// Writes dir\MyData_<n>.dat with its initial contents: 0 the password file with the empty
// password, 1 Public, 2 Private (25 blank rows under privateKey), 3 顔文字.
// Refuses to replace a file that exists.
bool CreateInitialBackupFile(const std::wstring& dir, int n, const std::function<void()>& letMessagesRun,
                             const std::function<void(int ms)>& pause,
                             const std::wstring& privateKey = DefaultPassword());

// Why a backup cannot be restored as it is.
enum class BackupFault {
    None,
    Unreadable,   // the file could not be read (error says why)
    WrongKey,     // MyData_2.dat does not decrypt under the key to records
    NotColours,   // Color.dat holds something the colour chooser does not take for colours
    NoRoom,       // the data folder cannot take the files (error says why: full, not writable)
};
struct BackupCheck {
    BackupFault fault = BackupFault::None;
    std::wstring path;        // the file or folder at fault
    unsigned long error = 0;  // the system's error code, for Unreadable and NoRoom
};

// Each file of the backup judged by the rule of what reads it: MyData_1.dat and MyData_3.dat
// as the panel's loader takes them (any file it can read, for it reads any bytes as records),
// MyData_2.dat by the wrong-key check (opened in memory under privateKey; a sealed one with its
// tag checked), Color.dat by the colour chooser's reader. First of all, scratchDir
// must hold twice the backup's files, as the restore stages them there beside the copies it
// keeps. The first fault found.
BackupCheck CheckBackupFiles(const std::wstring& backupDir, const std::wstring& scratchDir,
                             const std::wstring& privateKey);

// The backup's MyData_2.dat is sealed: its password is kept in no file and must be asked for.
bool BackupPrivateSealed(const std::wstring& backupDir);

// The password kept in backupDir\MyData_0.dat, read in memory (the backup folder may lie on a
// read-only medium). nullopt when there is no readable password file.
std::optional<std::wstring> ReadBackupPassword(const std::wstring& backupDir);

// Copies the backup's files over the data directory's, all or none: each is first copied
// beside its target, and the targets are replaced only when all copies are there; a
// replacement that fails puts back the ones already made. A backup without Color.dat keeps
// the current one. Refuses while Private's working copy exists (it would win over the restored
// MyData_2.dat). A plain password file left by an interrupted run goes, or it would win over
// the restored MyData_0.dat at the next start. The files it replaces are kept, so that the
// restore can be undone by hand, in a new folder beside backupDir named with this moment
// (keptIn); when that folder cannot be made nothing is replaced.
FileWorkResult RestoreBackup(const std::wstring& backupDir, const std::wstring& dataDir);

// Before a data set is replaced by other entries: its file's bytes kept as fileName in a new
// folder beside backupDir, the same kind a restore keeps its replaced files in (keptIn).
FileWorkResult KeepBeforeReplace(const std::wstring& backupDir, const std::wstring& fileName,
                                 const std::string& bytes);
