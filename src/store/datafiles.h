#pragma once
// The data directory and its files on disk. Every write goes through a temporary file beside
// the target, so a data file is either the old one or the new one, never a truncated one.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/dataset_format.h"

// Windows directory + "\Personal_Data". When that folder cannot be written (Vista and later
// without administrator rights) the per-user folder that Windows redirected older versions'
// data to: %LOCALAPPDATA%\VirtualStore\<Windows dir without drive>\Personal_Data. The folder
// returned is created when it is missing.
std::wstring DataRootPath();
// The same choice with its inputs given; canWrite tells whether a folder can be used.
std::wstring DataRootPathFor(const std::wstring& windowsDir, const std::wstring& localAppData,
                             const std::function<bool(const std::wstring& folder)>& canWrite);
// Where this executable's data lives. A root that already holds its data directory wins, so
// that a run with and one without administrator rights see the same data (Windows keeps
// older versions' data in the per-user folder); only when neither does, the writable one.
// hasData: the data directory is there already (whether it can be written is checked apart,
// with CanWriteFolder, as that costs a file of its own).
struct DataRootChoice {
    std::wstring root;
    bool hasData = false;
};
DataRootChoice ChooseDataRoot(const std::wstring& windowsDir, const std::wstring& localAppData,
                              const std::wstring& exeName,
                              const std::function<bool(const std::wstring& folder)>& canWrite,
                              const std::function<bool(const std::wstring& folder)>& isFolder);
DataRootChoice DataRootFor(const std::wstring& exeName);
bool IsFolder(const std::wstring& path);
// Creates the folder if needed and checks that a file can be made in it.
bool CanWriteFolder(const std::wstring& folder);
// Whether folder takes a file of `bytes` bytes: one is written and removed again. The
// system's error code when it does not (disk full, not writable), 0 when it does.
unsigned long RoomFor(const std::wstring& folder, uint64_t bytes);
// The system's wording of an error, no space left said plainly; empty for 0.
std::wstring ErrorCauseText(unsigned long error);
// Creates every missing folder of the path; true when the folder exists afterwards.
bool CreateFolderTree(const std::wstring& folder);

std::wstring DataDirPath(const std::wstring& root, const std::wstring& exeName);

// A directory search with normal attributes: hidden and system files count as absent, and
// folders are never found.
bool FileExists(const std::wstring& path);
// Any file at all, whatever its attributes (folders excepted).
bool PathExists(const std::wstring& path);

std::optional<std::string> ReadAllBytes(const std::wstring& path);
// Writes a temporary file beside the target, flushes it, then replaces the target with it.
// On any failure the target keeps its old content and the temporary file is removed.
bool WriteFileAtomic(const std::wstring& path, std::string_view bytes);
// Removes the "*.tmp" files an interrupted run left in dir. A temporary file is never the
// only copy of anything (it replaces its target only when complete, and its source stays until
// then), so they are safe to drop. Returns how many were removed.
int DeleteLeftoverTemporaries(const std::wstring& dir);
// As WriteFileAtomic, but fails instead of replacing a file that exists (in any form).
bool WriteNewFile(const std::wstring& path, std::string_view bytes);

// Missing or unreadable -> no entries.
std::vector<Entry> ReadDataSetFile(const std::wstring& path);
// Writes nothing when an entry cannot be stored (see EncodeDataSet); ok is false with
// badField -1 when the file could not be written.
EncodeResult WriteDataSetFile(const std::wstring& path, const std::vector<Entry>& e, ColourForm f);

// The tune resource 101 + n (type "MIDI") of the running executable, and writing it to
// dataDir\sakura_<n>.mid.
std::optional<std::string> TuneBytes(int n);
bool WriteTuneFile(const std::wstring& dataDir, int n);

// The initial Private file in a folder: 25 blank rows written as dir\MyData_2_2.dat, encrypted
// under key (the default password unless a password is set there) into dir\MyData_2.dat, the
// plain file deleted. Refuses when either file exists; leaves neither behind when the
// encryption fails.
bool CreateInitialPrivateFile(const std::wstring& dir, const std::function<void()>& letMessagesRun,
                              const std::function<void(int ms)>& pause, const std::wstring& key);

struct CreatedFiles {
    bool publicCreated = false;
    bool privateCreated = false;
    bool privateWorkingCopyKept = false;  // MyData_2.dat missing, MyData_2_2.dat kept as it was
    bool kaomojiCreated = false;
    bool passwordCreated = false;         // written with the empty password
    int tunesCreated = 0;
    bool colorCreated = false;
    bool passwordRecovered = false;       // a plain MyData_0_0.dat left behind was put away
};

// Writes each missing data file with its initial contents, in the order MyData_1, MyData_2,
// MyData_3, MyData_0, sakura_0..4, Color.dat. A file that exists in any form is never
// replaced. An interrupted run's plain leftovers are kept rather than overwritten: a
// MyData_2_2.dat stands for the missing MyData_2.dat (the panel encrypts it when it puts
// Private away), and a MyData_0_0.dat is encrypted into the missing MyData_0.dat.
CreatedFiles CreateMissingDataFiles(const std::wstring& dataDir, const std::function<void()>& letMessagesRun,
                                    const std::function<void(int ms)>& pause);
