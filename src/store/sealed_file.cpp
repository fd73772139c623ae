#include "store/sealed_file.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstring>
#include <vector>

#include "store/datafiles.h"
#include "win/late_bound.h"

namespace sealed {

namespace {

bool Ok(NTSTATUS s) { return s >= 0; }

std::string Utf8(const std::wstring& text) {
    std::string out;
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    if (n <= 0) return out;
    out.resize(static_cast<size_t>(n));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

uint32_t ReadU32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
           uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}

bool Random(uint8_t* data, size_t size) {
    return Ok(late::BCryptGenRandom(nullptr, data, static_cast<ULONG>(size), BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

// An AES-GCM key object for one call; everything is released and wiped on every path.
class GcmKey {
public:
    explicit GcmKey(const Key& key) {
        if (!Ok(late::BCryptOpenAlgorithmProvider(&alg_, BCRYPT_AES_ALGORITHM, nullptr, 0))) {
            alg_ = nullptr;
            return;
        }
        if (!Ok(late::BCryptSetProperty(alg_, BCRYPT_CHAINING_MODE,
                                  reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_GCM)),
                                  sizeof(BCRYPT_CHAIN_MODE_GCM), 0)))
            return;
        if (!Ok(late::BCryptGenerateSymmetricKey(alg_, &key_, nullptr, 0, const_cast<PUCHAR>(key.bytes.data()),
                                           static_cast<ULONG>(key.bytes.size()), 0)))
            key_ = nullptr;
    }
    ~GcmKey() {
        if (key_) late::BCryptDestroyKey(key_);
        if (alg_) late::BCryptCloseAlgorithmProvider(alg_, 0);
    }
    GcmKey(const GcmKey&) = delete;
    GcmKey& operator=(const GcmKey&) = delete;

    // Encrypts or decrypts in place of out; the header is both nonce source and AAD.
    bool Run(bool encrypt, std::string& header, const uint8_t* in, size_t size, uint8_t* out,
             uint8_t* tag) {
        if (!key_) return false;
        BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
        BCRYPT_INIT_AUTH_MODE_INFO(info);
        info.pbNonce = reinterpret_cast<PUCHAR>(header.data() + kMagicSize + 4 + kSaltSize);
        info.cbNonce = kNonceSize;
        info.pbAuthData = reinterpret_cast<PUCHAR>(header.data());
        info.cbAuthData = kHeaderSize;
        info.pbTag = tag;
        info.cbTag = kTagSize;
        ULONG done = 0;
        // CNG wants a buffer even for an empty text.
        uint8_t none = 0;
        PUCHAR src = size ? const_cast<PUCHAR>(in) : &none;
        PUCHAR dst = size ? out : &none;
        NTSTATUS s = encrypt
            ? late::BCryptEncrypt(key_, src, static_cast<ULONG>(size), &info, nullptr, 0, dst,
                            static_cast<ULONG>(size), &done, 0)
            : late::BCryptDecrypt(key_, src, static_cast<ULONG>(size), &info, nullptr, 0, dst,
                            static_cast<ULONG>(size), &done, 0);
        return Ok(s) && done == size;
    }

private:
    BCRYPT_ALG_HANDLE alg_ = nullptr;
    BCRYPT_KEY_HANDLE key_ = nullptr;
};

std::string Header(const Key& key, const std::array<uint8_t, kNonceSize>& nonce) {
    std::string h(kMagic, kMagicSize);
    for (int i = 0; i < 4; ++i) h += static_cast<char>((key.iterations >> (8 * i)) & 0xFF);
    h.append(reinterpret_cast<const char*>(key.salt.data()), kSaltSize);
    h.append(reinterpret_cast<const char*>(nonce.data()), kNonceSize);
    return h;
}

}  // namespace

void WipeBytes(void* data, size_t size) { SecureZeroMemory(data, size); }

void Key::Wipe() { WipeBytes(bytes.data(), bytes.size()); }


std::optional<Key> DeriveKey(const std::wstring& password, uint32_t iterations,
                             const std::array<uint8_t, kSaltSize>& salt) {
    if (iterations < kMinIterations || iterations > kMaxIterations) return std::nullopt;
    BCRYPT_ALG_HANDLE hmac = nullptr;
    if (!Ok(late::BCryptOpenAlgorithmProvider(&hmac, BCRYPT_SHA256_ALGORITHM, nullptr,
                                        BCRYPT_ALG_HANDLE_HMAC_FLAG)))
        return std::nullopt;
    std::string secret = Utf8(password);
    Key key;
    key.iterations = iterations;
    key.salt = salt;
    // An empty password is refused by some CNG versions; sealing needs one anyway.
    NTSTATUS s = secret.empty() ? -1
        : late::BCryptDeriveKeyPBKDF2(hmac, reinterpret_cast<PUCHAR>(secret.data()),
                                static_cast<ULONG>(secret.size()), const_cast<PUCHAR>(salt.data()),
                                kSaltSize, iterations, key.bytes.data(),
                                static_cast<ULONG>(key.bytes.size()), 0);
    WipeBytes(secret.data(), secret.size());
    late::BCryptCloseAlgorithmProvider(hmac, 0);
    if (!Ok(s)) return std::nullopt;
    return key;
}

std::optional<Key> NewKey(const std::wstring& password) {
    std::array<uint8_t, kSaltSize> salt;
    if (!Random(salt.data(), salt.size())) return std::nullopt;
    return DeriveKey(password, kIterations, salt);
}

std::optional<Key> KeyForFile(const std::string& sealedBytes, const std::wstring& password) {
    if (!LooksSealed(sealedBytes) || sealedBytes.size() < kHeaderSize + kTagSize) return std::nullopt;
    std::array<uint8_t, kSaltSize> salt;
    std::memcpy(salt.data(), sealedBytes.data() + kMagicSize + 4, kSaltSize);
    return DeriveKey(password, ReadU32(sealedBytes, kMagicSize), salt);
}

std::optional<std::string> SealWithNonce(const Key& key, const std::string& plain,
                                         const std::array<uint8_t, kNonceSize>& nonce) {
    std::string out = Header(key, nonce);
    std::string header = out;
    out.resize(kHeaderSize + plain.size() + kTagSize);
    auto* body = reinterpret_cast<uint8_t*>(out.data() + kHeaderSize);
    GcmKey gcm(key);
    if (!gcm.Run(true, header, reinterpret_cast<const uint8_t*>(plain.data()), plain.size(), body,
                 body + plain.size()))
        return std::nullopt;
    return out;
}

std::optional<std::string> Seal(const Key& key, const std::string& plain) {
    std::array<uint8_t, kNonceSize> nonce;
    if (!Random(nonce.data(), nonce.size())) return std::nullopt;
    return SealWithNonce(key, plain, nonce);
}

std::optional<std::string> Open(const Key& key, const std::string& sealedBytes) {
    if (!LooksSealed(sealedBytes) || sealedBytes.size() < kHeaderSize + kTagSize) return std::nullopt;
    // The key must be the one this header names: the count and salt are also in the AAD,
    // but a key from another salt would only fail later and less plainly.
    if (ReadU32(sealedBytes, kMagicSize) != key.iterations ||
        std::memcmp(sealedBytes.data() + kMagicSize + 4, key.salt.data(), kSaltSize) != 0)
        return std::nullopt;
    std::string header = sealedBytes.substr(0, kHeaderSize);
    const size_t size = sealedBytes.size() - kHeaderSize - kTagSize;
    std::string plain(size, '\0');
    std::array<uint8_t, kTagSize> tag;
    std::memcpy(tag.data(), sealedBytes.data() + kHeaderSize + size, kTagSize);
    GcmKey gcm(key);
    if (!gcm.Run(false, header, reinterpret_cast<const uint8_t*>(sealedBytes.data() + kHeaderSize),
                 size, reinterpret_cast<uint8_t*>(plain.data()), tag.data())) {
        WipeBytes(plain.data(), plain.size());
        return std::nullopt;
    }
    return plain;
}

bool WriteFile(const std::wstring& path, const Key& key, const std::string& plain) {
    if (auto old = ReadAllBytes(path); old && LooksSealed(*old) && old->size() >= kHeaderSize &&
                                       std::memcmp(old->data() + kMagicSize + 4, key.salt.data(), kSaltSize) == 0 &&
                                       !Open(key, *old))
        return false;
    auto bytes = Seal(key, plain);
    return bytes && WriteFileAtomic(path, *bytes);
}

}  // namespace sealed
