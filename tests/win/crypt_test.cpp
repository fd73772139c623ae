// The file cipher on the real CryptoAPI, checked against bytes made without it.
//
// The expected cipher texts were made on Linux with OpenSSL, independently of this program:
//   K=$(printf '%s' "<password bytes in code page 932>" | md5sum | cut -d' ' -f1)
//   openssl enc -rc4 -K $K -nosalt -provider legacy -provider default -in plain -out cipher
// (RC4 keyed with all 16 bytes of the MD5 digest; OpenSSL 3.0.)
#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "store/file_cipher.h"
#include "win/app.h"
#include "support/files.h"

namespace {

std::string Bytes(std::initializer_list<unsigned char> b) { return std::string(b.begin(), b.end()); }

// "名前","青木　純",&HFFFFFF CR LF in code page 932: one record of a data-set file.
const std::string kRecord = Bytes({0x22, 0x96, 0xBC, 0x91, 0x4F, 0x22, 0x2C, 0x22, 0x90, 0xC2,
                                   0x96, 0xD8, 0x81, 0x40, 0x8F, 0x83, 0x22, 0x2C, 0x26, 0x48,
                                   0x46, 0x46, 0x46, 0x46, 0x46, 0x46, 0x0D, 0x0A});

// kRecord under "hariko" (MD5 0fa368b59bb438d77c0d2e80e84dde05).
const std::string kRecordHariko = Bytes({0x41, 0xEB, 0x0C, 0xFF, 0x0C, 0x1D, 0x30, 0x91, 0xA0, 0x0E,
                                         0xAD, 0xAB, 0x87, 0xB3, 0xE5, 0xB7, 0xDE, 0x81, 0x1C, 0xD4,
                                         0xD1, 0x25, 0xBC, 0x67, 0xB9, 0xEE, 0x70, 0x79});

// kRecord under "Hariko" (MD5 5c23c0052f416b37d52a60b13f477a56).
const std::string kRecordHarikoUpper = Bytes({0x6A, 0xD6, 0xD2, 0xE1, 0x07, 0xBD, 0xF7, 0xE3, 0xD9,
                                              0x0F, 0xCB, 0x6E, 0xE7, 0x16, 0xC1, 0x97, 0x42, 0x49,
                                              0x4C, 0xE8, 0x69, 0x03, 0x65, 0x4F, 0xB3, 0xE0, 0xF7,
                                              0x8B});

// kRecord under "青木pass": 8 bytes in code page 932, of which only the first 6
// (90 C2 96 D8 70 61) are hashed (MD5 fdaead161e9e4115d6cb22989f091ed6).
const std::string kRecordAoki = Bytes({0x47, 0x87, 0xD2, 0x62, 0xE1, 0x12, 0x45, 0x1A, 0xBE, 0xFA,
                                       0x5E, 0x08, 0x08, 0x4B, 0x16, 0x08, 0xF0, 0x25, 0x2E, 0x3A,
                                       0xB5, 0x34, 0x44, 0xFB, 0xF0, 0x49, 0x92, 0x8A});

// Plain bytes (i * 31 + 7) mod 256.
std::string Pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 31 + 7) & 0xFF);
    return s;
}

using testsupport::FreshFolder;
using testsupport::RemoveTree;
using testsupport::WriteFileBytes;
std::string ReadBytes(const std::wstring& path) { return testsupport::BytesOf(path); }

void DeleteDefaultKeyContainer() {
    HCRYPTPROV p = 0;
    CryptAcquireContextW(&p, nullptr, nullptr, PROV_RSA_FULL, CRYPT_DELETEKEYSET);
}

// The empty-password mode wraps its key with the user's key-exchange key, which a fresh
// container does not have.
bool EnsureExchangeKey() {
    HCRYPTPROV p = 0;
    if (!CryptAcquireContextW(&p, nullptr, nullptr, PROV_RSA_FULL, 0) &&
        !CryptAcquireContextW(&p, nullptr, nullptr, PROV_RSA_FULL, CRYPT_NEWKEYSET))
        return false;
    HCRYPTKEY k = 0;
    bool ok = CryptGetUserKey(p, AT_KEYEXCHANGE, &k) || CryptGenKey(p, AT_KEYEXCHANGE, 0, &k);
    if (k) CryptDestroyKey(k);
    CryptReleaseContext(p, 0);
    return ok;
}

using Progress = std::vector<std::pair<int32_t, int32_t>>;

class CryptTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        dir_ = FreshFolder(L"hariko_crypt_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
               std::to_wstring(++counter));
        ASSERT_TRUE(testsupport::FolderExists(dir_));
        savedShowError_ = FileCipher::ShowError;
        FileCipher::ShowError = [this](const std::wstring& text) { messages_.push_back(text); };
    }
    void TearDown() override {
        FileCipher::ShowError = savedShowError_;
        RemoveTree(dir_);
    }

    std::wstring P(const wchar_t* name) const { return dir_ + L"\\" + name; }

    // One run of a fresh object, recording its notifications.
    bool Run(bool encrypt, const wchar_t* in, const wchar_t* out, const std::wstring& password) {
        FileCipher c;
        c.inFile = P(in);
        c.outFile = P(out);
        c.password = password;
        c.onProgress = [this](int32_t done, int32_t size) {
            progress_.emplace_back(done, size);
            if (duringRun_) duringRun_();
        };
        c.onDone = [this] { ++done_; };
        return encrypt ? c.Encrypt() : c.Decrypt();
    }
    bool Encrypt(const wchar_t* in, const wchar_t* out, const std::wstring& pw) { return Run(true, in, out, pw); }
    bool Decrypt(const wchar_t* in, const wchar_t* out, const std::wstring& pw) { return Run(false, in, out, pw); }

    std::wstring dir_;
    std::vector<std::wstring> messages_;
    Progress progress_;
    int done_ = 0;
    std::function<void()> duringRun_;
    std::function<void(const std::wstring&)> savedShowError_;
};

TEST_F(CryptTest, KnownAnswersForSingleAndDoubleBytePasswords) {
    ASSERT_TRUE(WriteFileBytes(P(L"plain.dat"), kRecord));

    EXPECT_TRUE(Encrypt(L"plain.dat", L"hariko.dat", L"hariko"));
    EXPECT_EQ(ReadBytes(P(L"hariko.dat")), kRecordHariko);

    EXPECT_TRUE(Encrypt(L"plain.dat", L"aoki.dat", L"青木pass"));
    EXPECT_EQ(ReadBytes(P(L"aoki.dat")), kRecordAoki);
    // The last two bytes of the code page 932 form are not hashed: a password that differs
    // only there is the same key.
    EXPECT_TRUE(Encrypt(L"plain.dat", L"aoki2.dat", L"青木paXX"));
    EXPECT_EQ(ReadBytes(P(L"aoki2.dat")), kRecordAoki);

    // Letter case matters.
    EXPECT_TRUE(Encrypt(L"plain.dat", L"upper.dat", L"Hariko"));
    EXPECT_EQ(ReadBytes(P(L"upper.dat")), kRecordHarikoUpper);

    EXPECT_TRUE(Decrypt(L"hariko.dat", L"back.dat", L"hariko"));
    EXPECT_EQ(ReadBytes(P(L"back.dat")), kRecord);
    EXPECT_TRUE(Decrypt(L"aoki.dat", L"back2.dat", L"青木pass"));
    EXPECT_EQ(ReadBytes(P(L"back2.dat")), kRecord);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(CryptTest, DefaultPasswordKeysAFullChunkAndAnEmptyFinalOne) {
    EXPECT_EQ(DefaultPassword().size(), 8u);
    const std::string plain = Pattern(1002);
    ASSERT_TRUE(WriteFileBytes(P(L"plain.dat"), plain));

    EXPECT_TRUE(Encrypt(L"plain.dat", L"MyData_2.dat", DefaultPassword()));
    // Under "47290315" (MD5 66fc078f2a07ec632d72a170624ed0b8): first and last 16 bytes.
    const std::string out = ReadBytes(P(L"MyData_2.dat"));
    ASSERT_EQ(out.size(), 1002u);
    EXPECT_EQ(out.substr(0, 16), Bytes({0x44, 0x60, 0x70, 0x6C, 0xC9, 0x52, 0x74, 0x16, 0x64, 0x73,
                                        0xA4, 0x87, 0x8B, 0x79, 0xF0, 0xCA}));
    EXPECT_EQ(out.substr(986), Bytes({0xDC, 0x4E, 0xDB, 0x4A, 0xDE, 0xEB, 0xDC, 0x55, 0x27, 0x3C,
                                      0xB9, 0x45, 0x36, 0x22, 0x8E, 0xEA}));
    EXPECT_EQ(progress_, (Progress{{1002, 1002}, {1002, 1002}}));
    EXPECT_EQ(done_, 1);
}

TEST_F(CryptTest, ChunkBoundariesDoNotChangeTheKeyStream) {
    const std::string plain = Pattern(2500);
    ASSERT_TRUE(WriteFileBytes(P(L"plain.dat"), plain));

    EXPECT_TRUE(Encrypt(L"plain.dat", L"enc.dat", L"hariko"));
    const std::string out = ReadBytes(P(L"enc.dat"));
    ASSERT_EQ(out.size(), 2500u);
    // Windows across the chunk ends at 1002 and 2004, and the tail.
    EXPECT_EQ(out.substr(0, 16), Bytes({0x64, 0x5B, 0xF5, 0x0A, 0xC0, 0x9D, 0xDD, 0x53, 0xCF, 0xD2,
                                        0x06, 0x2F, 0x7D, 0x69, 0xD3, 0xEC}));
    EXPECT_EQ(out.substr(994, 16), Bytes({0x64, 0xCD, 0x62, 0xC7, 0x9A, 0xF6, 0x08, 0x10, 0x83,
                                          0xAD, 0xE2, 0xBB, 0xE1, 0xFD, 0x3C, 0x46}));
    EXPECT_EQ(out.substr(1996, 16), Bytes({0x94, 0x84, 0x4A, 0x0F, 0x2F, 0x86, 0xBA, 0x48, 0x04,
                                           0xA3, 0xC4, 0x72, 0x77, 0x0B, 0xBF, 0x14}));
    EXPECT_EQ(out.substr(2484), Bytes({0x1A, 0xBF, 0x8F, 0xB8, 0x8F, 0xF8, 0x62, 0x7A, 0xCD, 0x02,
                                       0x18, 0xF2, 0x69, 0x38, 0x1E, 0x92}));
    EXPECT_EQ(progress_, (Progress{{1002, 2500}, {2004, 2500}, {2500, 2500}}));

    EXPECT_TRUE(Decrypt(L"enc.dat", L"back.dat", L"hariko"));
    EXPECT_TRUE(ReadBytes(P(L"back.dat")) == plain);
}

TEST_F(CryptTest, EmptyFileGivesEmptyOutputAndOneProgressOfZero) {
    ASSERT_TRUE(WriteFileBytes(P(L"empty.dat"), ""));
    EXPECT_TRUE(Encrypt(L"empty.dat", L"enc.dat", L"hariko"));
    EXPECT_EQ(ReadBytes(P(L"enc.dat")), "");
    EXPECT_EQ(progress_, (Progress{{0, 0}}));
    EXPECT_EQ(done_, 1);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(CryptTest, WrongPasswordDecryptsToNoiseOfTheSameLength) {
    ASSERT_TRUE(WriteFileBytes(P(L"enc.dat"), kRecordHariko));
    EXPECT_TRUE(Decrypt(L"enc.dat", L"noise.dat", L"harika"));
    const std::string noise = ReadBytes(P(L"noise.dat"));
    EXPECT_EQ(noise.size(), kRecord.size());
    EXPECT_NE(noise, kRecord);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(CryptTest, RefusalsLeaveFilesAsTheyWereWithoutAMessage) {
    ASSERT_TRUE(WriteFileBytes(P(L"plain.dat"), kRecord));

    // An existing output is never replaced, a hidden one included.
    ASSERT_TRUE(WriteFileBytes(P(L"MyData_2.dat"), "keep"));
    EXPECT_FALSE(Encrypt(L"plain.dat", L"MyData_2.dat", L"hariko"));
    EXPECT_EQ(ReadBytes(P(L"MyData_2.dat")), "keep");
    ASSERT_TRUE(WriteFileBytes(P(L"hidden.dat"), "keep too"));
    SetFileAttributesW(P(L"hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(Encrypt(L"plain.dat", L"hidden.dat", L"hariko"));
    EXPECT_EQ(ReadBytes(P(L"hidden.dat")), "keep too");

    // A missing input, and one a directory search with normal attributes does not see.
    EXPECT_FALSE(Decrypt(L"absent.dat", L"out1.dat", L"hariko"));
    ASSERT_TRUE(WriteFileBytes(P(L"hidden_in.dat"), kRecord));
    SetFileAttributesW(P(L"hidden_in.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(Encrypt(L"hidden_in.dat", L"out2.dat", L"hariko"));

    // An input another program holds exclusively is a failure, not an empty success.
    HANDLE locked = CreateFileW(P(L"plain.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Encrypt(L"plain.dat", L"out3.dat", L"hariko"));
    CloseHandle(locked);

    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(done_, 5);
    EXPECT_EQ(testsupport::FolderEntries(dir_), (std::vector<std::wstring>{L"MyData_2.dat", L"hidden.dat",
                                                         L"hidden_in.dat", L"plain.dat"}));
}

TEST_F(CryptTest, OutputIsCompleteOrAbsentNeverPartial) {
    ASSERT_TRUE(WriteFileBytes(P(L"plain.dat"), Pattern(5000)));

    // While the run goes, only a temporary file exists beside the output.
    std::vector<std::wstring> seen;
    duringRun_ = [&] { if (seen.empty()) seen = testsupport::FolderEntries(dir_); };
    EXPECT_TRUE(Encrypt(L"plain.dat", L"out.dat", L"hariko"));
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"out.dat.tmp", L"plain.dat"}));
    EXPECT_EQ(testsupport::FolderEntries(dir_), (std::vector<std::wstring>{L"out.dat", L"plain.dat"}));
    EXPECT_EQ(ReadBytes(P(L"out.dat")).size(), 5000u);

    // A file that appears at the output path meanwhile wins; the run fails and leaves no trace.
    duringRun_ = [&] { WriteFileBytes(P(L"late.dat"), "someone else's"); };
    EXPECT_FALSE(Encrypt(L"plain.dat", L"late.dat", L"hariko"));
    EXPECT_EQ(ReadBytes(P(L"late.dat")), "someone else's");
    EXPECT_EQ(testsupport::FolderEntries(dir_),
              (std::vector<std::wstring>{L"late.dat", L"out.dat", L"plain.dat"}));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(CryptTest, DecryptWorksForAUserWithoutAKeyContainer) {
    DeleteDefaultKeyContainer();
    ASSERT_TRUE(WriteFileBytes(P(L"enc.dat"), kRecordHariko));
    EXPECT_TRUE(Decrypt(L"enc.dat", L"plain.dat", L"hariko"));
    EXPECT_EQ(ReadBytes(P(L"plain.dat")), kRecord);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(CryptTest, EmptyPasswordWithoutExchangeKeyShowsError003AndLeavesNoOutput) {
    DeleteDefaultKeyContainer();
    ASSERT_TRUE(WriteFileBytes(P(L"plain.dat"), kRecord));
    // Through the default box: text only, OK, no icon, the program's caption.
    FileCipher::ShowError = savedShowError_;
    static std::vector<std::wstring> boxes;
    boxes.clear();
    SetMsgBoxHook([](const std::wstring& text, UINT flags, const std::wstring& title) {
        boxes.push_back(text + L"|" + std::to_wstring(flags) + L"|" + title);
        return IDOK;
    });
    EXPECT_FALSE(Encrypt(L"plain.dat", L"enc.dat", L""));
    SetMsgBoxHook(nullptr);
    EXPECT_EQ(boxes, (std::vector<std::wstring>{L"Error! 003|0|ハリコ"}));
    EXPECT_EQ(done_, 1);
    EXPECT_EQ(testsupport::FolderEntries(dir_), (std::vector<std::wstring>{L"plain.dat"}));
}

TEST_F(CryptTest, EmptyPasswordStoresAWrappedRandomKeyAheadOfTheCipherText) {
    ASSERT_TRUE(EnsureExchangeKey());
    const std::string plain = Pattern(1500);
    ASSERT_TRUE(WriteFileBytes(P(L"plain.dat"), plain));

    EXPECT_TRUE(Encrypt(L"plain.dat", L"enc.dat", L""));
    const std::string enc = ReadBytes(P(L"enc.dat"));
    ASSERT_GE(enc.size(), 4u + 12u);
    const uint32_t n = uint8_t(enc[0]) | uint8_t(enc[1]) << 8 | uint8_t(enc[2]) << 16 |
                       uint32_t(uint8_t(enc[3])) << 24;
    EXPECT_EQ(enc.size(), 4 + n + plain.size());
    // SIMPLEBLOB, version 2, RC4 wrapped by the RSA key-exchange algorithm.
    EXPECT_EQ(enc.substr(4, 8), Bytes({0x01, 0x02, 0x00, 0x00, 0x01, 0x68, 0x00, 0x00}));
    EXPECT_EQ(enc.substr(12, 4), Bytes({0x00, 0xA4, 0x00, 0x00}));
    EXPECT_NE(enc.substr(4 + n), plain);

    EXPECT_TRUE(Decrypt(L"enc.dat", L"back.dat", L""));
    EXPECT_TRUE(ReadBytes(P(L"back.dat")) == plain);
    EXPECT_EQ(progress_.back(), (std::pair<int32_t, int32_t>(1500, int32_t(enc.size()))));

    // A head whose length runs past the end of the file is no key.
    ASSERT_TRUE(WriteFileBytes(P(L"bad.dat"), Bytes({0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3})));
    EXPECT_FALSE(Decrypt(L"bad.dat", L"bad_out.dat", L""));
    EXPECT_EQ(messages_, (std::vector<std::wstring>{L"Error! 012"}));
    EXPECT_EQ(ReadBytes(P(L"bad_out.dat")), "<missing>");
}

}  // namespace

TEST_F(CryptTest, TheSameBytesWhereTheDefaultProviderIsTheBaseOne) {
    // A user whose default PROV_RSA_FULL provider is the Base one (40-bit keys).
    HKEY k;
    const wchar_t* path = L"Software\\Microsoft\\Cryptography\\Provider Type 001";
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    const wchar_t base[] = L"Microsoft Base Cryptographic Provider v1.0";
    RegSetValueExW(k, L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(base), sizeof base);
    RegCloseKey(k);
    ASSERT_TRUE(WriteFileBytes(P(L"plain.dat"), kRecord));
    bool ok = Encrypt(L"plain.dat", L"hariko.dat", L"hariko");
    RegDeleteKeyW(HKEY_CURRENT_USER, path);
    EXPECT_TRUE(ok);
    EXPECT_EQ(ReadBytes(P(L"hariko.dat")), kRecordHariko);
    EXPECT_TRUE(messages_.empty());
}
