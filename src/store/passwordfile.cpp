#include "store/passwordfile.h"

#include <windows.h>

#include "base/stored_names.h"
#include "store/file_cipher.h"
#include "store/datafiles.h"
#include "store/dataset_format.h"

namespace {
std::wstring PlainPath(const std::wstring& dataDir) { return dataDir + L"\\" + stored::kPlainPasswordFile; }
std::wstring StoredPath(const std::wstring& dataDir) { return dataDir + L"\\" + stored::kPasswordFile; }

// The encrypted file replaces MyData_0.dat only in full; on failure nothing partial stays.
bool EncryptPlainIntoStored(const std::wstring& dataDir) {
    const std::wstring stored = StoredPath(dataDir);
    DeleteFileW(stored.c_str());
    if (EncryptFileTo(PlainPath(dataDir), stored, DefaultPassword()) && PathExists(stored)) return true;
    DeleteFileW(stored.c_str());
    return false;
}
}  // namespace

bool WritePasswordFile(const std::wstring& dataDir, const std::wstring& password, int pauseMs,
                       const std::function<void()>& letMessagesRun, const std::function<void(int)>& pause) {
    const std::string plain = PasswordFilePlainBytes(password);
    if (plain.empty() || !WriteFileAtomic(PlainPath(dataDir), plain)) return false;
    letMessagesRun();
    pause(pauseMs);
    if (!EncryptPlainIntoStored(dataDir)) return false;  // the plain file keeps the password
    DeleteFileW(PlainPath(dataDir).c_str());
    return true;
}

bool SealLeftoverPasswordFile(const std::wstring& dataDir) {
    const std::wstring plain = PlainPath(dataDir);
    auto bytes = ReadAllBytes(plain);
    if (!bytes || !PasswordFrom(*bytes)) {
        DeleteFileW(plain.c_str());
        return false;
    }
    if (!EncryptPlainIntoStored(dataDir)) return false;
    DeleteFileW(plain.c_str());
    return true;
}

std::optional<std::wstring> ReadPasswordFile(const std::wstring& dataDir, const std::function<void()>& letMessagesRun,
                                             const std::function<void(int)>& pause) {
    const std::wstring plain = PlainPath(dataDir);
    const std::wstring stored = StoredPath(dataDir);

    if (PathExists(plain)) {
        auto bytes = ReadAllBytes(plain);
        std::optional<std::wstring> leftover = bytes ? PasswordFrom(*bytes) : std::nullopt;
        if (leftover) {
            SealLeftoverPasswordFile(dataDir);
            letMessagesRun();
            return leftover;
        }
        DeleteFileW(plain.c_str());
    }

    if (!PathExists(stored)) return std::nullopt;
    bool decrypted = DecryptFileTo(stored, plain, DefaultPassword());
    letMessagesRun();
    pause(100);
    auto bytes = decrypted ? ReadAllBytes(plain) : std::nullopt;
    DeleteFileW(plain.c_str());
    letMessagesRun();
    if (!bytes) return std::nullopt;
    return PasswordFrom(*bytes);
}
