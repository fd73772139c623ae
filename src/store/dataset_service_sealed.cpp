// The sealed Private: MyData_2.dat in the strong format, its entries held in memory while it
// is unlocked. The key and the entries are wiped when it is locked again.
#include <windows.h>

#include "store/datafiles.h"
#include "store/dataset_check_logic.h"
#include "store/dataset_service.h"
#include "store/file_cipher.h"
#include "store/passwordfile.h"
#include "store/sealed_file.h"

struct DataSetService::SealedState {
    sealed::Key key;
    std::string plain;
    ~SealedState() { sealed::WipeBytes(plain.data(), plain.size()); }
};

bool DataSetService::FileIsSealed() const {
    HANDLE h = CreateFileW(File(stored::kPrivateFile).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    char head[sealed::kMagicSize] = {};
    DWORD got = 0;
    bool ok = ReadFile(h, head, sizeof head, &got, nullptr) && got == sizeof head;
    CloseHandle(h);
    return sealedNoted_ || (ok && sealed::LooksSealed(std::string(head, sizeof head)));
}

void DataSetService::NoteSealed(bool sealed) {
    if (sealedNoted_ == sealed) return;
    sealedNoted_ = sealed;
    if (storeSealedNote) storeSealedNote(sealed);
}

void DataSetService::NoteFollowsFile(bool fileChecked) {
    auto bytes = ReadAllBytes(File(stored::kPrivateFile));
    if (!bytes) {
        if (!FileExists(File(stored::kPrivateFile))) NoteSealed(false);  // a new Private starts plain
        return;
    }
    if (sealed::ShapeOf(*bytes) == sealed::Shape::Whole) NoteSealed(true);
    else if (fileChecked) NoteSealed(false);
}

bool DataSetService::Unlock(const std::wstring& password) {
    auto bytes = ReadAllBytes(File(stored::kPrivateFile));
    if (!bytes) return false;
    std::optional<sealed::Key> key;
    std::optional<std::string> plain;
    auto derive = [&] {
        key = sealed::KeyForFile(*bytes, password);
        if (key) plain = sealed::Open(*key, *bytes);
    };
    runSlowly ? runSlowly(derive) : derive();
    if (!plain) return false;
    auto state = std::make_shared<SealedState>();
    state->key = *key;
    state->plain = std::move(*plain);
    unlocked_ = std::move(state);
    return true;
}

bool DataSetService::SealedFileDamaged() const {
    auto bytes = ReadAllBytes(File(stored::kPrivateFile));
    return bytes && sealed::FormOf(*bytes, sealedNoted_) == sealed::Form::Damaged;
}

void DataSetService::Lock() {
    const std::wstring work = File(stored::kPrivateWorkingCopy);
    if (unlocked_ && FileExists(work)) {
        // What the editor saved goes into the sealed file before the key is forgotten.
        auto bytes = ReadAllBytes(work);
        if (bytes && IsWellFormedDataSet(*bytes) && SaveSealed(*bytes)) DeleteFileW(work.c_str());
    }
    unlocked_.reset();
}

bool DataSetService::HoldsKeyOfFile() const {
    auto bytes = ReadAllBytes(File(stored::kPrivateFile));
    return unlocked_ && bytes && bytes->size() >= sealed::kHeaderSize &&
           bytes->compare(sealed::kMagicSize + 4, sealed::kSaltSize,
                          reinterpret_cast<const char*>(unlocked_->key.salt.data()), sealed::kSaltSize) == 0;
}

bool DataSetService::SaveSealed(const std::string& bytes) {
    // A file sealed anew meanwhile (a restore) is never overwritten with the older entries.
    if (!HoldsKeyOfFile()) return false;
    if (!unlocked_ || !sealed::WriteFile(File(stored::kPrivateFile), unlocked_->key, bytes)) return false;
    sealed::WipeBytes(unlocked_->plain.data(), unlocked_->plain.size());
    unlocked_->plain = bytes;
    return true;
}

std::optional<std::string> DataSetService::UnlockedBytes() const {
    if (!unlocked_ || !HoldsKeyOfFile()) return std::nullopt;
    return unlocked_->plain;
}

DataSetService::Prepared DataSetService::PrepareSealed(DataSet set) {
    Prepared p;
    p.file = PlainFile(set);
    if (set != DataSet::Private) {
        Lock();
        return p;
    }
    if (unlocked_ && !HoldsKeyOfFile()) unlocked_.reset();
    if (!unlocked_) {
        p.locked = true;
        return p;
    }
    const std::wstring work = File(stored::kPrivateWorkingCopy);
    if (FileExists(work)) {
        auto bytes = ReadAllBytes(work);
        if (bytes && IsWellFormedDataSet(*bytes) && SaveSealed(*bytes)) {
            DeleteFileW(work.c_str());
        } else if (bytes) {
            // Not sealed: the edit stays where it is rather than being lost.
            p.bytes = std::move(bytes);
            return p;
        }
    }
    p.bytes = unlocked_->plain;
    return p;
}

bool DataSetService::SealPrivate(const std::wstring& password) {
    if (FileIsSealed() || password.empty()) return false;
    const std::wstring enc = File(stored::kPrivateFile);
    if (!PutWorkingCopyAway()) return false;
    std::string plain;
    if (FileExists(enc)) {
        // Decrypted in memory: the plain text never touches the disk on its way to the seal.
        auto cipher = ReadAllBytes(enc);
        auto bytes = cipher ? CipherBytes(*cipher, PrivateKeyFor(password)) : std::nullopt;
        if (!bytes || !IsWellFormedDataSet(*bytes)) {
            if (bytes) sealed::WipeBytes(bytes->data(), bytes->size());
            return false;
        }
        plain = std::move(*bytes);
    }
    auto key = sealed::NewKey(password);
    if (!key) {
        sealed::WipeBytes(plain.data(), plain.size());
        return false;
    }
    for (sealed::StateWrite write : sealed::kSealWrites) {
        switch (write) {
        case sealed::StateWrite::SealedFile:
            if (!sealed::WriteFile(enc, *key, plain)) {
                sealed::WipeBytes(plain.data(), plain.size());
                return false;
            }
            break;
        case sealed::StateWrite::PasswordFile:
            // From here the sealed file is the truth; a password left in the password file is
            // emptied again at start-up if this write does not make it.
            WritePasswordFile(dataDir_, L"", 0, [] {}, [](int) {});
            break;
        case sealed::StateWrite::NoteSealed: NoteSealed(true); break;
        default: break;
        }
    }
    auto state = std::make_shared<SealedState>();
    state->key = *key;
    state->plain = std::move(plain);
    unlocked_ = std::move(state);
    return true;
}

bool DataSetService::UnsealPrivate(const std::wstring& password, int pauseMs,
                                   const std::function<void()>& letMessagesRun,
                                   const std::function<void(int)>& pause) {
    if (!FileIsSealed()) return false;
    Lock();
    if (!Unlock(password)) return false;
    const std::wstring enc = File(stored::kPrivateFile);
    const std::wstring cipherTemp = enc + L".unsealed.tmp";
    DeleteFileW(cipherTemp.c_str());
    auto cipher = CipherBytes(unlocked_->plain, PrivateKeyFor(password), true);
    bool ok = cipher && WriteFileAtomic(cipherTemp, *cipher);
    for (sealed::StateWrite write : sealed::kUnsealWrites) {
        if (!ok) break;
        switch (write) {
        case sealed::StateWrite::PasswordFile:
            ok = WritePasswordFile(dataDir_, password, pauseMs, letMessagesRun, pause);
            break;
        case sealed::StateWrite::NoteUnsealed: NoteSealed(false); break;
        case sealed::StateWrite::PlainFile:
            ok = MoveFileExW(cipherTemp.c_str(), enc.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
            break;
        default: break;
        }
    }
    DeleteFileW(cipherTemp.c_str());
    if (!ok) {
        WritePasswordFile(dataDir_, L"", 0, [] {}, [](int) {});
        NoteSealed(true);
        return false;
    }
    unlocked_.reset();
    return true;
}

bool DataSetService::ResealUnder(const std::wstring& newPassword) {
    if (!unlocked_ || newPassword.empty()) return false;
    auto key = sealed::NewKey(newPassword);
    if (!key || !sealed::WriteFile(File(stored::kPrivateFile), *key, unlocked_->plain)) return false;
    unlocked_->key = *key;
    return true;
}
