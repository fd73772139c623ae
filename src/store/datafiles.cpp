#include "store/datafiles.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "base/stored_names.h"
#include "store/file_cipher.h"
#include "store/passwordfile.h"

namespace {
std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && folder.back() == L'\\') return folder + name;
    return folder + L"\\" + name;
}

// "C:\Windows" -> "Windows"; "\\server\share\Windows" -> "Windows".
std::wstring WithoutDrive(const std::wstring& path) {
    size_t start = 0;
    if (path.size() >= 2 && path[1] == L':') {
        start = 2;
    } else if (path.rfind(L"\\\\", 0) == 0) {
        size_t server = path.find(L'\\', 2);
        size_t share = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
        start = share == std::wstring::npos ? path.size() : share;
    }
    while (start < path.size() && path[start] == L'\\') ++start;
    return path.substr(start);
}

std::wstring LocalAppDataDir() {
    wchar_t buf[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buf) != S_OK) return {};
    return buf;
}

bool WriteAll(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool WriteThroughTemp(const std::wstring& path, std::string_view bytes, bool replace) {
    if (path.empty()) return false;
    const std::wstring temp = path + L".tmp";
    HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteAll(h, bytes) && FlushFileBuffers(h);
    ok = CloseHandle(h) && ok;
    if (ok) {
        DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
        ok = MoveFileExW(temp.c_str(), path.c_str(), flags) != 0;
    }
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

std::string EncodedOrEmpty(const std::vector<Entry>& entries) {
    return EncodeDataSet(entries, ColourForm::HexText).bytes;
}
}  // namespace

std::wstring DataRootPathFor(const std::wstring& windowsDir, const std::wstring& localAppData,
                             const std::function<bool(const std::wstring&)>& canWrite) {
    const std::wstring primary = Join(windowsDir, stored::kDataRoot);
    if (localAppData.empty() || canWrite(primary)) return primary;
    return Join(Join(Join(localAppData, L"VirtualStore"), WithoutDrive(windowsDir)), stored::kDataRoot);
}

DataRootChoice ChooseDataRoot(const std::wstring& windowsDir, const std::wstring& localAppData,
                              const std::wstring& exeName,
                              const std::function<bool(const std::wstring&)>& canWrite,
                              const std::function<bool(const std::wstring&)>& isFolder) {
    const std::wstring primary = Join(windowsDir, stored::kDataRoot);
    DataRootChoice c;
    if (!localAppData.empty()) {
        const std::wstring redirected = DataRootPathFor(windowsDir, localAppData, [](const std::wstring&) { return false; });
        for (const std::wstring& root : {primary, redirected}) {
            if (isFolder(Join(root, exeName))) {
                c.root = root;
                c.hasData = true;
                return c;
            }
        }
    }
    c.root = DataRootPathFor(windowsDir, localAppData, canWrite);
    return c;
}

bool IsFolder(const std::wstring& path) {
    DWORD attr = GetFileAttributesW(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

DataRootChoice DataRootFor(const std::wstring& exeName) {
    wchar_t buf[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryW(buf, MAX_PATH);
    std::wstring windowsDir(buf, n < MAX_PATH ? n : 0);
    DataRootChoice c = ChooseDataRoot(windowsDir, LocalAppDataDir(), exeName, CanWriteFolder, IsFolder);
    if (!c.hasData) CreateFolderTree(c.root);
    return c;
}

bool CanWriteFolder(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring probe = Join(folder, L"~probe" + std::to_wstring(GetCurrentProcessId()) + L".tmp");
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

unsigned long RoomFor(const std::wstring& dir, uint64_t bytes) {
    // *.tmp: start-up removes it should a run end right here.
    const std::wstring probe = Join(dir, L"~room" + std::to_wstring(GetCurrentProcessId()) + L".tmp");
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() ? GetLastError() : ERROR_GEN_FAILURE;
    static const std::string zeros(64 * 1024, '\0');
    DWORD error = 0;
    for (uint64_t done = 0; done < bytes && !error;) {
        const DWORD chunk = static_cast<DWORD>(std::min<uint64_t>(zeros.size(), bytes - done));
        DWORD written = 0;
        if (!WriteFile(h, zeros.data(), chunk, &written, nullptr) || written != chunk)
            error = GetLastError() ? GetLastError() : ERROR_DISK_FULL;
        done += written;
    }
    if (!error && !FlushFileBuffers(h)) error = GetLastError();
    CloseHandle(h);
    DeleteFileW(probe.c_str());
    return error;
}

std::wstring ErrorCauseText(unsigned long error) {
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) return L"ディスクの空き容量が足りません。";
    if (error == 0) return L"";
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring out = text ? text : L"";
    if (text) LocalFree(text);
    while (!out.empty() && (out.back() == L'\r' || out.back() == L'\n' || out.back() == L' ')) out.pop_back();
    return out.empty() ? L"エラー " + std::to_wstring(error) : out;
}

bool CreateFolderTree(const std::wstring& folder) {
    DWORD attr = GetFileAttributesW(folder.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES) return (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
    size_t cut = folder.find_last_of(L'\\');
    if (cut != std::wstring::npos && cut > 0) {
        std::wstring parent = folder.substr(0, cut);
        if (!(parent.size() == 2 && parent[1] == L':')) CreateFolderTree(parent);
    }
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::wstring DataRootPath() {
    wchar_t buf[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryW(buf, MAX_PATH);
    std::wstring windowsDir(buf, n < MAX_PATH ? n : 0);
    std::wstring root = DataRootPathFor(windowsDir, LocalAppDataDir(), CanWriteFolder);
    CreateFolderTree(root);
    return root;
}

std::wstring DataDirPath(const std::wstring& root, const std::wstring& exeName) { return root + L"\\" + exeName; }

bool FileExists(const std::wstring& path) {
    if (path.empty() || path.find_first_of(L"*?") != std::wstring::npos) return false;
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(path.c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    constexpr DWORD kNotNormal = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (fd.dwFileAttributes & kNotNormal) == 0;
}

bool PathExists(const std::wstring& path) {
    if (path.empty()) return false;
    DWORD attr = GetFileAttributesW(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::string> ReadAllBytes(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> result;
    LARGE_INTEGER size{};
    // Data files are small; a huge file here is not one of ours.
    if (GetFileSizeEx(h, &size) && size.QuadPart <= (256LL << 20)) {
        std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
        size_t done = 0;
        bool ok = true;
        while (done < bytes.size()) {
            DWORD got = 0;
            if (!ReadFile(h, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr)) {
                ok = false;
                break;
            }
            if (got == 0) break;
            done += got;
        }
        if (ok) {
            bytes.resize(done);
            result = std::move(bytes);
        }
    }
    CloseHandle(h);
    return result;
}

int DeleteLeftoverTemporaries(const std::wstring& dir) {
    int removed = 0;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*.tmp").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::wstring name = fd.cFileName;
        // FindFirstFile also matches 8.3 aliases; insist on the real ending.
        if (name.size() < 4 || _wcsicmp(name.c_str() + name.size() - 4, L".tmp") != 0) continue;
        if (DeleteFileW((dir + L"\\" + name).c_str())) ++removed;
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return removed;
}

bool WriteFileAtomic(const std::wstring& path, std::string_view bytes) { return WriteThroughTemp(path, bytes, true); }

bool WriteNewFile(const std::wstring& path, std::string_view bytes) {
    if (PathExists(path)) return false;
    return WriteThroughTemp(path, bytes, false);
}

std::vector<Entry> ReadDataSetFile(const std::wstring& path) {
    auto bytes = ReadAllBytes(path);
    if (!bytes) return {};
    return ParseDataSet(*bytes);
}

EncodeResult WriteDataSetFile(const std::wstring& path, const std::vector<Entry>& e, ColourForm f) {
    EncodeResult r = EncodeDataSet(e, f);
    if (r.ok && !WriteFileAtomic(path, r.bytes)) {
        r.ok = false;
        r.badField = -1;
    }
    return r;
}

std::optional<std::string> TuneBytes(int n) {
    if (n < 0 || n > 4) return std::nullopt;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(101 + n), L"MIDI");
    if (!res) return std::nullopt;
    HGLOBAL loaded = LoadResource(module, res);
    DWORD size = SizeofResource(module, res);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return std::string(static_cast<const char*>(data), size);
}

bool WriteTuneFile(const std::wstring& dataDir, int n) {
    auto bytes = TuneBytes(n);
    return bytes && WriteFileAtomic(dataDir + L"\\" + stored::TuneFileName(n), *bytes);
}

bool CreateInitialPrivateFile(const std::wstring& dir, const std::function<void()>& letMessagesRun,
                              const std::function<void(int ms)>& pause, const std::wstring& key) {
    const std::wstring enc = dir + L"\\" + stored::kPrivateFile;
    const std::wstring work = dir + L"\\" + stored::kPrivateWorkingCopy;
    if (PathExists(enc) || !WriteNewFile(work, EncodedOrEmpty(BlankEntries(25)))) return false;
    pause(100);
    letMessagesRun();
    bool ok = EncryptFileTo(work, enc, key) && PathExists(enc);
    // Either the encrypted file is complete or neither file remains, so the next start
    // tries again from scratch; the rows are blank, nothing is lost.
    if (!ok) DeleteFileW(enc.c_str());
    DeleteFileW(work.c_str());
    return ok;
}

CreatedFiles CreateMissingDataFiles(const std::wstring& dataDir, const std::function<void()>& letMessagesRun,
                                    const std::function<void(int ms)>& pause) {
    CreatedFiles created;
    using namespace stored;
    auto file = [&](const wchar_t* name) { return dataDir + L"\\" + name; };

    if (!PathExists(file(kPublicFile))) {
        created.publicCreated = WriteNewFile(file(kPublicFile), EncodedOrEmpty(InitialPublicEntries()));
        letMessagesRun();
    }

    if (!PathExists(file(kPrivateFile))) {
        if (PathExists(file(kPrivateWorkingCopy))) {
            created.privateWorkingCopyKept = true;
        } else {
            created.privateCreated = CreateInitialPrivateFile(dataDir, letMessagesRun, pause, DefaultPassword());
            pause(100);
            letMessagesRun();
        }
        letMessagesRun();
    }

    if (!PathExists(file(kKaomojiFile))) {
        created.kaomojiCreated = WriteNewFile(file(kKaomojiFile), EncodedOrEmpty(InitialKaomojiEntries()));
        letMessagesRun();
    }

    if (!PathExists(file(kPasswordFile))) {
        if (PathExists(file(kPlainPasswordFile)) && SealLeftoverPasswordFile(dataDir)) {
            created.passwordRecovered = true;
        } else if (!PathExists(file(kPlainPasswordFile))) {
            created.passwordCreated = WritePasswordFile(dataDir, L"", 100, letMessagesRun, pause);
            pause(100);
            letMessagesRun();
        }
    }

    for (int n = 0; n < kTuneCount; ++n) {
        letMessagesRun();
        const std::wstring tune = dataDir + L"\\" + stored::TuneFileName(n);
        if (PathExists(tune)) continue;
        auto bytes = TuneBytes(n);
        letMessagesRun();
        if (bytes && WriteNewFile(tune, *bytes)) ++created.tunesCreated;
    }

    if (!PathExists(file(kColourFile))) {
        created.colorCreated = WriteNewFile(file(kColourFile), InitialColorDatBytes());
        letMessagesRun();
    }
    return created;
}
