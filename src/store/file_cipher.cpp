#include "store/file_cipher.h"

#include <windows.h>
#include <wincrypt.h>

#include <array>
#include <vector>

#include "win/app.h"

namespace {

constexpr DWORD kChunkSize = 1002;

// RC4 keyed with all 16 digest bytes. Asked for explicitly so that no provider default
// (the old Base provider used 40 bits) can change the bytes written.
constexpr DWORD kKeyFlags = 128u << 16;

// A header key blob is an RSA-wrapped 16-byte key: a few hundred bytes. Anything much larger
// is not a blob of ours, and reading it would only allocate.
constexpr DWORD kMaxBlobSize = 64 * 1024;

struct Codes {
    const wchar_t* context;
    const wchar_t* hash;
    const wchar_t* hashData;
    const wchar_t* derive;
    const wchar_t* chunk;
    const wchar_t* importKey;   // decrypt only
};

constexpr Codes kEncryptCodes{L"Error! 001", L"Error! 007", L"Error! 008", L"Error! 009",
                              L"Error! 010", nullptr};
constexpr Codes kDecryptCodes{L"Error! 011", L"Error! 013", L"Error! 014", L"Error! 015",
                              L"Error! 016", L"Error! 012"};

void DefaultShowError(const std::wstring& text) { MsgBox(text, MB_OK); }

// A directory search with normal attributes: hidden and system files and folders are absent.
bool NormalFileExists(const std::wstring& path) {
    if (path.empty()) return false;
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(path.c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool found = false;
    do {
        constexpr DWORD kNotNormal =
            FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if ((fd.dwFileAttributes & kNotNormal) == 0) found = true;
    } while (!found && FindNextFileW(find, &fd));
    FindClose(find);
    return found;
}

// Stored files were keyed from the Shift_JIS bytes with unmappable characters as '?', and
// only as many bytes as the password has characters.
std::string PasswordKeyBytes(const std::wstring& password) {
    std::string bytes;
    int n = WideCharToMultiByte(932, 0, password.data(), static_cast<int>(password.size()),
                                nullptr, 0, nullptr, nullptr);
    if (n <= 0) return bytes;
    bytes.resize(static_cast<size_t>(n));
    n = WideCharToMultiByte(932, 0, password.data(), static_cast<int>(password.size()),
                            bytes.data(), n, nullptr, nullptr);
    bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
    if (bytes.size() > password.size()) bytes.resize(password.size());
    return bytes;
}

bool WriteAll(HANDLE file, const void* data, DWORD size) {
    const BYTE* p = static_cast<const BYTE*>(data);
    while (size > 0) {
        DWORD done = 0;
        if (!WriteFile(file, p, size, &done, nullptr) || done == 0) return false;
        p += done;
        size -= done;
    }
    return true;
}

bool ReadExactly(HANDLE file, void* data, DWORD size) {
    BYTE* p = static_cast<BYTE*>(data);
    while (size > 0) {
        DWORD done = 0;
        if (!ReadFile(file, p, size, &done, nullptr) || done == 0) return false;
        p += done;
        size -= done;
    }
    return true;
}

// One Encrypt or Decrypt. Everything obtained is released by the destructor, which is the
// clean-up step every path ends in.
class CipherRun {
public:
    CipherRun(const FileCipher& owner, bool encrypt)
        : owner_(owner), encrypt_(encrypt), codes_(encrypt ? kEncryptCodes : kDecryptCodes) {}

    ~CipherRun() {
        if (in_ != INVALID_HANDLE_VALUE) CloseHandle(in_);
        if (out_ != INVALID_HANDLE_VALUE) CloseHandle(out_);
        // The real output only ever appears complete; a failed run leaves nothing behind.
        if (!tempPath_.empty()) DeleteFileW(tempPath_.c_str());
        if (key_) CryptDestroyKey(key_);
        if (exchangeKey_) CryptDestroyKey(exchangeKey_);
        if (hash_) CryptDestroyHash(hash_);
        if (prov_) CryptReleaseContext(prov_, 0);
        if (owner_.onDone) owner_.onDone();
    }

    CipherRun(const CipherRun&) = delete;
    CipherRun& operator=(const CipherRun&) = delete;

    bool Run(const std::wstring& inFile, const std::wstring& outFile, const std::wstring& password) {
        if (!NormalFileExists(inFile)) return false;
        in_ = CreateFileW(inFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        // An unreadable input would otherwise come out as an empty "success".
        if (in_ == INVALID_HANDLE_VALUE) return false;
        if (NormalFileExists(outFile)) return false;
        if (!OpenTemp(outFile)) return false;

        if (!AcquireContext(!password.empty())) return Fail(codes_.context);
        if (!password.empty()) {
            if (!DeriveKey(password)) return false;
        } else if (encrypt_) {
            if (!MakeHeaderKey()) return false;
        } else {
            if (!ReadHeaderKey()) return false;
        }
        if (!ProcessChunks()) return false;
        return Commit(outFile);
    }

    // RC4 is its own inverse: one pass serves both directions.
    std::optional<std::string> RunOnBytes(const std::string& bytes, const std::wstring& password) {
        if (password.empty() || bytes.size() > MAXDWORD) return std::nullopt;
        if (!AcquireContext(true)) {
            Fail(codes_.context);
            return std::nullopt;
        }
        if (!DeriveKey(password)) return std::nullopt;
        std::string out = bytes;
        DWORD count = static_cast<DWORD>(out.size());
        if (!CryptDecrypt(key_, 0, TRUE, 0, reinterpret_cast<BYTE*>(out.data()), &count) ||
            count != bytes.size()) {
            SecureZeroMemory(out.data(), out.size());
            Fail(codes_.chunk);
            return std::nullopt;
        }
        return out;
    }

private:
    bool Fail(const wchar_t* code) {
        if (FileCipher::ShowError) FileCipher::ShowError(code);
        return false;
    }

    bool OpenTemp(const std::wstring& outFile) {
        std::wstring temp = outFile + L".tmp";
        out_ = CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out_ == INVALID_HANDLE_VALUE) return false;
        tempPath_ = std::move(temp);
        return true;
    }

    bool AcquireContext(bool withPassword) {
        // Named: on a machine whose default PROV_RSA_FULL provider is the old Base one, the
        // 128-bit key would be refused and every file would stay unreadable.
        const wchar_t* kProvider = MS_ENHANCED_PROV_W;
        if (CryptAcquireContextW(&prov_, nullptr, kProvider, PROV_RSA_FULL, 0)) return true;
        // A user who never had a key container gets one, for decryption as well: refusing to
        // decrypt on such a machine would lose the data the caller is about to replace.
        if (CryptAcquireContextW(&prov_, nullptr, kProvider, PROV_RSA_FULL, CRYPT_NEWKEYSET)) return true;
        // A password-derived key needs no stored keys at all.
        if (withPassword &&
            CryptAcquireContextW(&prov_, nullptr, kProvider, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
            return true;
        prov_ = 0;
        return false;
    }

    bool DeriveKey(const std::wstring& password) {
        if (!CryptCreateHash(prov_, CALG_MD5, 0, 0, &hash_)) {
            hash_ = 0;
            return Fail(codes_.hash);
        }
        std::string bytes = PasswordKeyBytes(password);
        if (bytes.empty() ||
            !CryptHashData(hash_, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size()), 0))
            return Fail(codes_.hashData);
        if (!CryptDeriveKey(prov_, CALG_RC4, hash_, kKeyFlags, &key_)) {
            key_ = 0;
            return Fail(codes_.derive);
        }
        CryptDestroyHash(hash_);
        hash_ = 0;
        return true;
    }

    // No password: a random key, stored wrapped with the user's key-exchange key ahead of the
    // cipher text as its length (4 bytes, little-endian) and the SIMPLEBLOB.
    bool MakeHeaderKey() {
        if (!CryptGenKey(prov_, CALG_RC4, CRYPT_EXPORTABLE | kKeyFlags, &key_)) {
            key_ = 0;
            return Fail(L"Error! 002");
        }
        if (!CryptGetUserKey(prov_, AT_KEYEXCHANGE, &exchangeKey_)) {
            exchangeKey_ = 0;
            return Fail(L"Error! 003");
        }
        DWORD size = 0;
        if (!CryptExportKey(key_, exchangeKey_, SIMPLEBLOB, 0, nullptr, &size))
            return Fail(L"Error! 004");
        if (size == 0) return Fail(L"Error! 005");
        std::vector<BYTE> blob(size);
        if (!CryptExportKey(key_, exchangeKey_, SIMPLEBLOB, 0, blob.data(), &size))
            return Fail(L"Error! 006");
        CryptDestroyKey(exchangeKey_);
        exchangeKey_ = 0;
        const BYTE length[4] = {BYTE(size), BYTE(size >> 8), BYTE(size >> 16), BYTE(size >> 24)};
        return WriteAll(out_, length, 4) && WriteAll(out_, blob.data(), size);
    }

    bool ReadHeaderKey() {
        BYTE length[4];
        if (!ReadExactly(in_, length, 4)) return Fail(codes_.importKey);
        DWORD size = DWORD(length[0]) | DWORD(length[1]) << 8 | DWORD(length[2]) << 16 |
                     DWORD(length[3]) << 24;
        LARGE_INTEGER fileSize{};
        // A length of 0 or past the end of the file cannot be a key.
        if (size == 0 || size > kMaxBlobSize || !GetFileSizeEx(in_, &fileSize) ||
            fileSize.QuadPart - 4 < static_cast<LONGLONG>(size))
            return Fail(codes_.importKey);
        std::vector<BYTE> blob(size);
        if (!ReadExactly(in_, blob.data(), size)) return Fail(codes_.importKey);
        // Named explicitly: not every provider falls back to it on its own (Wine does not).
        if (!CryptGetUserKey(prov_, AT_KEYEXCHANGE, &exchangeKey_)) {
            exchangeKey_ = 0;
            return Fail(codes_.importKey);
        }
        if (!CryptImportKey(prov_, blob.data(), size, exchangeKey_, 0, &key_)) {
            key_ = 0;
            return Fail(codes_.importKey);
        }
        return true;
    }

    bool ProcessChunks() {
        const int32_t fileBytes = static_cast<int32_t>(GetFileSize(in_, nullptr));
        std::array<BYTE, kChunkSize> buffer;
        int64_t total = 0;
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(in_, buffer.data(), kChunkSize, &got, nullptr)) return false;
            const BOOL final = got < kChunkSize;
            DWORD count = got;
            BOOL ok = encrypt_
                ? CryptEncrypt(key_, 0, final, 0, buffer.data(), &count, kChunkSize)
                : CryptDecrypt(key_, 0, final, 0, buffer.data(), &count);
            if (!ok || count != got) return Fail(codes_.chunk);
            if (!WriteAll(out_, buffer.data(), count)) return false;
            total += count;
            if (owner_.onProgress) owner_.onProgress(static_cast<int32_t>(total), fileBytes);
            if (final) return true;
        }
    }

    // Moves the finished file into place, never over a file that appeared meanwhile.
    bool Commit(const std::wstring& outFile) {
        bool flushed = FlushFileBuffers(out_) != 0;
        bool closed = CloseHandle(out_) != 0;
        out_ = INVALID_HANDLE_VALUE;
        if (!flushed || !closed) return false;
        if (!MoveFileExW(tempPath_.c_str(), outFile.c_str(), MOVEFILE_WRITE_THROUGH)) return false;
        tempPath_.clear();
        return true;
    }

    const FileCipher& owner_;
    const bool encrypt_;
    const Codes& codes_;
    HANDLE in_ = INVALID_HANDLE_VALUE;
    HANDLE out_ = INVALID_HANDLE_VALUE;
    std::wstring tempPath_;
    HCRYPTPROV prov_ = 0;
    HCRYPTHASH hash_ = 0;
    HCRYPTKEY key_ = 0;
    HCRYPTKEY exchangeKey_ = 0;
};

}  // namespace

std::function<void(const std::wstring&)> FileCipher::ShowError = DefaultShowError;

bool FileCipher::Encrypt() {
    CipherRun run(*this, true);
    return run.Run(inFile, outFile, password);
}

bool FileCipher::Decrypt() {
    CipherRun run(*this, false);
    return run.Run(inFile, outFile, password);
}

std::optional<std::string> CipherBytes(const std::string& bytes, const std::wstring& password,
                                       bool encrypting) {
    FileCipher owner;
    CipherRun run(owner, encrypting);
    return run.RunOnBytes(bytes, password);
}

bool EncryptFileTo(const std::wstring& in, const std::wstring& out, const std::wstring& password) {
    FileCipher c;
    c.inFile = in;
    c.outFile = out;
    c.password = password;
    return c.Encrypt();
}

bool DecryptFileTo(const std::wstring& in, const std::wstring& out, const std::wstring& password) {
    FileCipher c;
    c.inFile = in;
    c.outFile = out;
    c.password = password;
    return c.Decrypt();
}
