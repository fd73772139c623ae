#include "store/dataset_service.h"

#include <windows.h>

#include <optional>

#include "store/file_cipher.h"
#include "store/datafiles.h"
#include "store/dataset_check_logic.h"
#include "store/dataset_format.h"
#include "store/passwordfile.h"
#include "store/sealed_file.h"

namespace {

std::optional<ULONGLONG> FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a)) return std::nullopt;
    return (static_cast<ULONGLONG>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

// Encrypts the working copy into MyData_2.dat under key. A half-written cipher text never
// carries the name MyData_2.dat, and the working copy goes only once MyData_2.dat is whole.
bool SealWorkingCopy(const std::wstring& work, const std::wstring& enc, const std::wstring& key,
                     const std::function<void()>& letMessagesRun) {
    const std::wstring temp = enc + L".tmp";
    DeleteFileW(temp.c_str());
    bool ok = EncryptFileTo(work, temp, key);
    letMessagesRun();
    auto plainSize = FileSize(work);
    ok = ok && plainSize && FileSize(temp) == plainSize &&
         MoveFileExW(temp.c_str(), enc.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        DeleteFileW(temp.c_str());
        return false;
    }
    DeleteFileW(work.c_str());
    letMessagesRun();
    return true;
}

}  // namespace

std::wstring DataSetService::PlainFile(DataSet set) const {
    switch (set) {
    case DataSet::Private: return File(stored::kPrivateWorkingCopy);
    case DataSet::Kaomoji: return File(stored::kKaomojiFile);
    case DataSet::Public: break;
    }
    return File(stored::kPublicFile);
}

namespace {
// The panel takes a file of exactly one record for a failed decryption of Private; such a
// file is kept aside like an unreadable one rather than blanked.
bool UsableRecords(const std::string& bytes) {
    return IsWellFormedDataSet(bytes) && ParseDataSet(bytes).size() != 1;
}
}  // namespace

DataSetService::Prepared DataSetService::Prepare(DataSet set) {
    if (FileIsSealed()) return PrepareSealed(set);
    Prepared p;
    p.file = PlainFile(set);
    if (set != DataSet::Private) {
        PutWorkingCopyAway();
        return p;
    }
    const std::wstring work = File(stored::kPrivateWorkingCopy);
    const std::wstring enc = File(stored::kPrivateFile);
    EnsureKey();
    if (FileExists(work) && FileExists(enc)) ResolveBothForms();
    if (FileExists(work)) {
        // Loaded already (or left by a run that ended while it was loaded).
        if (FileExists(enc)) return p;  // could not be resolved: read the newer, delete nothing
        auto bytes = ReadAllBytes(work);
        if (bytes && !UsableRecords(*bytes)) {
            // Sealed aside under the key, so no plain copy of Private lies around.
            const std::wstring aside = AsideName(stored::kSupersededPrefix);
            if (!aside.empty() && !password_.privateKey.empty() &&
                SealWorkingCopy(work, aside, password_.privateKey, [] {})) {
                p.unreadable = true;
                p.keptAside = aside;
            }
        }
        return p;
    }
    if (password_.privateKey.empty() || !FileExists(enc)) return p;
    // Decrypted beside the working copy first: a run that ends in the middle never leaves
    // noise under the working copy's name.
    const std::wstring temp = work + L".tmp";
    DeleteFileW(temp.c_str());
    bool decrypted = DecryptFileTo(enc, temp, password_.privateKey);
    auto bytes = decrypted ? ReadAllBytes(temp) : std::nullopt;
    if (bytes && UsableRecords(*bytes) && MoveFileExW(temp.c_str(), work.c_str(), MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(enc.c_str());
        return p;
    }
    DeleteFileW(temp.c_str());
    if (!decrypted) return p;  // the cipher said why; MyData_2.dat stays
    p.unreadable = true;
    p.keptAside =
        KeepAside(bytes && IsWellFormedDataSet(*bytes) ? stored::kSupersededPrefix : stored::kUnreadablePrefix);
    p.asideFailed = p.keptAside.empty();
    return p;
}

std::wstring DataSetService::ResolveBothForms() {
    const std::wstring work = File(stored::kPrivateWorkingCopy);
    const std::wstring enc = File(stored::kPrivateFile);
    if (!FileExists(work) || !FileExists(enc)) return L"";
    // Sealed: the working copy is sealed once the password unlocks it; the sealed file is
    // never compared under the old key (it would be taken for another key's and set aside).
    if (FileIsSealed()) return L"";
    EnsureKey();
    if (password_.privateKey.empty()) return L"";
    auto bytes = ReadAllBytes(work);
    if (bytes && IsWellFormedDataSet(*bytes)) {
        // Cut off after the encryption: both hold the same entries, the working copy can go.
        auto cipher = ReadAllBytes(enc);
        auto same = cipher ? CipherBytes(*cipher, password_.privateKey) : std::nullopt;
        if (same && *same == *bytes) {
            DeleteFileW(work.c_str());
            return L"";
        }
        return KeepAside(stored::kSupersededPrefix);
    }
    const std::wstring aside = AsideName(stored::kSupersededPrefix);
    if (aside.empty() || !SealWorkingCopy(work, aside, password_.privateKey, [] {})) return L"";
    return aside;
}

bool DataSetService::PutWorkingCopyAway() {
    const std::wstring work = File(stored::kPrivateWorkingCopy);
    const std::wstring enc = File(stored::kPrivateFile);
    if (!FileExists(work)) return true;
    sealError_ = 0;
    if (FileIsSealed()) {
        Lock();
        return !FileExists(work);
    }
    EnsureKey();
    if (password_.privateKey.empty()) return false;
    if (SealWorkingCopy(work, enc, password_.privateKey, [] {})) return true;
    // The sealed file is as long as the plain one: the folder is asked for that much.
    sealError_ = RoomFor(dataDir_, FileSize(work).value_or(0) + 1);
    return false;
}

std::wstring DataSetService::SealFailure() const {
    const std::wstring cause = ErrorCauseText(sealError_);
    return File(stored::kPrivateFile) + (cause.empty() ? L"" : L"\r\n(" + cause + L")");
}

bool DataSetService::RepairPrivate() {
    const std::wstring work = File(stored::kPrivateWorkingCopy);
    DeleteFileW(work.c_str());
    return WriteDataSetFile(work, BlankEntries(25), ColourForm::HexText).ok;
}

bool DataSetService::Opens(const std::wstring& password) const {
    if (FileIsSealed()) {
        auto bytes = ReadAllBytes(File(stored::kPrivateFile));
        auto key = bytes ? sealed::KeyForFile(*bytes, password) : std::nullopt;
        return key && sealed::Open(*key, *bytes);
    }
    auto cipher = ReadAllBytes(File(stored::kPrivateFile));
    auto bytes = cipher ? CipherBytes(*cipher, PrivateKeyFor(password)) : std::nullopt;
    const bool good = bytes && IsWellFormedDataSet(*bytes);
    if (bytes) SecureZeroMemory(bytes->data(), bytes->size());
    return good;
}

void DataSetService::DeleteKeptAside() {
    for (const wchar_t* prefix : {stored::kUnreadablePrefix, stored::kSupersededPrefix}) {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((File(prefix) + L"*.dat").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) continue;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW(File(fd.cFileName).c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
}

std::wstring DataSetService::AsideName(const wchar_t* prefix) const {
    SYSTEMTIME st;
    GetLocalTime(&st);
    wchar_t stamp[32];
    swprintf(stamp, 32, L"%04u%02u%02u-%02u%02u%02u", st.wYear, st.wMonth, st.wDay, st.wHour,
             st.wMinute, st.wSecond);
    for (int n = 0; n < 1000; ++n) {
        std::wstring name = File(prefix) + stamp + (n ? L"_" + std::to_wstring(n) : L"") + L".dat";
        if (!PathExists(name)) return name;
    }
    return L"";
}

std::wstring DataSetService::KeepAside(const wchar_t* prefix) {
    const std::wstring enc = File(stored::kPrivateFile);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::wstring aside = AsideName(prefix);
        if (aside.empty()) return L"";
        if (MoveFileW(enc.c_str(), aside.c_str())) {
            NoteSealed(false);  // nothing sealed is left
            return aside;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    return L"";
}

RekeyOutcome DataSetService::Rekey(const std::wstring& newPassword, int pauseMs,
                                   const std::function<void()>& letMessagesRun,
                                   const std::function<void(int)>& pause) {
    if (FileIsSealed()) return ResealUnder(newPassword) ? RekeyOutcome::Rekeyed : RekeyOutcome::NotChanged;
    EnsureKey();
    const std::wstring enc = File(stored::kPrivateFile);
    const std::wstring work = File(stored::kPrivateWorkingCopy);
    const std::wstring oldKey = PrivateKeyFor(password_.privateKey);
    const std::wstring newKey = PrivateKeyFor(newPassword);

    auto storePassword = [&] {
        if (WritePasswordFile(dataDir_, newPassword, pauseMs, letMessagesRun, pause)) return true;
        // When only the encryption failed, the plain file stays; start-up reads it first.
        auto left = ReadAllBytes(File(stored::kPlainPasswordFile));
        return left && *left == PasswordFilePlainBytes(newPassword);
    };

    // Private is loaded: its working copy is sealed under the new key when it is put away.
    if (FileExists(work))
        return storePassword() ? RekeyOutcome::WorkingCopy : RekeyOutcome::NotChanged;
    if (!FileExists(enc)) return RekeyOutcome::Missing;

    // The plain text is checked before anything is deleted: a key that does not fit gives
    // bytes that are no data-set file, and then MyData_2.dat stays exactly as it is.
    const std::wstring plainTemp = work + L".tmp";
    DeleteFileW(plainTemp.c_str());
    bool decrypted = DecryptFileTo(enc, plainTemp, oldKey);
    letMessagesRun();
    if (!decrypted) {
        DeleteFileW(plainTemp.c_str());
        return RekeyOutcome::NotChanged;
    }
    auto plain = ReadAllBytes(plainTemp);
    if (!plain || !IsWellFormedDataSet(*plain)) {
        DeleteFileW(plainTemp.c_str());
        return storePassword() ? RekeyOutcome::FileKept : RekeyOutcome::NotChanged;
    }
    if (!MoveFileExW(plainTemp.c_str(), work.c_str(), MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(plainTemp.c_str());
        return RekeyOutcome::NotChanged;
    }
    if (!DeleteFileW(enc.c_str())) {
        DeleteFileW(work.c_str());
        return RekeyOutcome::NotChanged;
    }
    letMessagesRun();

    // From here a crash leaves the working copy, which start-up seals under the key the
    // password file names; so that file names the new key before anything uses it.
    if (!storePassword()) {
        SealWorkingCopy(work, enc, oldKey, letMessagesRun);
        return RekeyOutcome::NotChanged;
    }
    SealWorkingCopy(work, enc, newKey, letMessagesRun);
    return RekeyOutcome::Rekeyed;
}
