#include "store/dataset_service.h"

#include <windows.h>

#include <optional>

#include "store/clsCryptFile.h"
#include "store/datafiles.h"
#include "store/dataset_check_logic.h"
#include "store/dataset_format.h"
#include "store/passwordfile.h"

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

std::wstring DataSetService::PlainFile(int set) const {
    switch (set) {
    case 2: return File(L"MyData_2_2.dat");
    case 3: return File(L"MyData_3.dat");
    default: return File(L"MyData_1.dat");
    }
}

DataSetService::Prepared DataSetService::Prepare(int set) {
    Prepared p;
    p.file = PlainFile(set);
    if (set != 2) {
        PutWorkingCopyAway();
        return p;
    }
    const std::wstring work = File(L"MyData_2_2.dat");
    const std::wstring enc = File(L"MyData_2.dat");
    bool fresh = !FileExists(work) && !password_.privateKey.empty() &&
                 DecryptFileTo(enc, work, password_.privateKey);
    if (fresh) {
        auto bytes = ReadAllBytes(work);
        if (!bytes || !IsWellFormedDataSet(*bytes)) {
            // Wrong key or damaged file: keep the encrypted file, drop the garbage.
            DeleteFileW(work.c_str());
            p.keptAside = KeepUndecryptableAside();
            p.undecryptable = true;
        } else {
            DeleteFileW(enc.c_str());
        }
    } else if (FileExists(work)) {
        DeleteFileW(enc.c_str());
    }
    return p;
}

bool DataSetService::PutWorkingCopyAway() {
    const std::wstring work = File(L"MyData_2_2.dat");
    const std::wstring enc = File(L"MyData_2.dat");
    if (!FileExists(work)) return true;
    if (password_.privateKey.empty()) return false;
    return SealWorkingCopy(work, enc, password_.privateKey, [] {});
}

bool DataSetService::RepairPrivate() {
    const std::wstring work = File(L"MyData_2_2.dat");
    DeleteFileW(work.c_str());
    return WriteDataSetFile(work, BlankEntries(25), ColourForm::HexText).ok;
}

std::wstring DataSetService::KeepUndecryptableAside() {
    const std::wstring enc = File(L"MyData_2.dat");
    SYSTEMTIME st;
    GetLocalTime(&st);
    wchar_t stamp[32];
    swprintf(stamp, 32, L"%04u%02u%02u-%02u%02u%02u", st.wYear, st.wMonth, st.wDay, st.wHour,
             st.wMinute, st.wSecond);
    for (int n = 0; n < 1000; ++n) {
        std::wstring aside = File(L"MyData_2_復号できません_") + stamp +
                             (n ? L"_" + std::to_wstring(n) : L"") + L".dat";
        if (MoveFileW(enc.c_str(), aside.c_str())) return aside;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    return L"";
}

RekeyOutcome DataSetService::Rekey(const std::wstring& newPassword, int pauseMs,
                                   const std::function<void()>& letMessagesRun,
                                   const std::function<void(int)>& pause) {
    const std::wstring enc = File(L"MyData_2.dat");
    const std::wstring work = File(L"MyData_2_2.dat");
    const std::wstring oldKey = password_.privateKey.empty() ? DefaultPassword() : password_.privateKey;
    const std::wstring newKey = newPassword.empty() ? DefaultPassword() : newPassword;

    auto storePassword = [&] {
        if (WritePasswordFile(dataDir_, newPassword, pauseMs, letMessagesRun, pause)) return true;
        // When only the encryption failed, the plain file stays; start-up reads it first.
        auto left = ReadAllBytes(File(L"MyData_0_0.dat"));
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
