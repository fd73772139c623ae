// The sealed Private format through CNG against a vector made by an independent AES-GCM and
// PBKDF2 implementation, and every kind of damage refused.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "store/datafiles.h"
#include "store/sealed_file.h"
#include "support/files.h"

namespace {

const std::wstring kPassword = L"ひみつabc";
const std::array<uint8_t, 16> kSalt{0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17,
                                    0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1d, 0x1e, 0x1f};
const std::array<uint8_t, 12> kNonce{0xa0, 0xa1, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xab};
// "1","カード","1234 5678","&H00FFFFFF" CR LF in code page 932, count 600000.
const uint8_t kVector[] = {
    0x48, 0x52, 0x4b, 0x2d, 0x41, 0x45, 0x53, 0x31, 0xc0, 0x27, 0x09, 0x00, 0x10, 0x11, 0x12, 0x13,
    0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1d, 0x1e, 0x1f, 0xa0, 0xa1, 0xa2, 0xa3,
    0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xab, 0xcf, 0x74, 0xad, 0x2e, 0x5a, 0x6b, 0xca, 0x07,
    0x87, 0xf7, 0x15, 0xc4, 0x76, 0x18, 0x16, 0xdc, 0x75, 0x4b, 0x57, 0xab, 0x4f, 0x1a, 0xb9, 0xcf,
    0x8c, 0x48, 0xf8, 0xb5, 0xac, 0x3f, 0x78, 0x40, 0x84, 0xd5, 0xe9, 0xc5, 0x47, 0xd8, 0xee, 0x59,
    0x5f, 0x34, 0x26, 0xba, 0x79, 0x63, 0xc3, 0x7c, 0x77, 0x19, 0xb9, 0x91, 0x68, 0x06, 0xa0};
const uint8_t kVectorKey[] = {0x70, 0x61, 0x32, 0x0f, 0x28, 0xae, 0x9a, 0x83, 0x0a, 0xa5, 0x0f,
                              0x00, 0xa3, 0xf7, 0x92, 0x92, 0xa0, 0xeb, 0xc5, 0x91, 0xae, 0x03,
                              0x2b, 0x79, 0x8f, 0xe7, 0x14, 0x98, 0x1f, 0x42, 0x8a, 0xe9};

std::string Plain() { return "\"1\",\"\x83J\x81[\x83h\",\"1234 5678\",\"&H00FFFFFF\"\r\n"; }
std::string Vector() { return std::string(reinterpret_cast<const char*>(kVector), sizeof kVector); }

TEST(SealedFile, MatchesTheIndependentVectorBothWays) {
    auto key = sealed::DeriveKey(kPassword, 600000, kSalt);
    ASSERT_TRUE(key);
    EXPECT_EQ(0, memcmp(key->bytes.data(), kVectorKey, 32));
    EXPECT_EQ(Vector(), sealed::SealWithNonce(*key, Plain(), kNonce));
    EXPECT_EQ(Plain(), sealed::Open(*key, Vector()));
    // The reader takes the salt and count from the file.
    auto fromFile = sealed::KeyForFile(Vector(), kPassword);
    ASSERT_TRUE(fromFile);
    EXPECT_EQ(Plain(), sealed::Open(*fromFile, Vector()));
    // Every write has a new nonce, and the empty text seals too.
    auto a = sealed::Seal(*key, Plain()), b = sealed::Seal(*key, Plain());
    ASSERT_TRUE(a && b);
    EXPECT_NE(a->substr(28, 12), b->substr(28, 12));
    EXPECT_EQ("", sealed::Open(*key, *sealed::Seal(*key, "")));
}

TEST(SealedFile, RefusesAnyDamageAndTheWrongPassword) {
    auto key = sealed::KeyForFile(Vector(), kPassword);
    ASSERT_TRUE(key);
    // mark, count, salt, nonce, cipher text, tag
    for (size_t at : {size_t{3}, size_t{9}, size_t{20}, size_t{30}, size_t{50}, sizeof kVector - 1}) {
        std::string bad = Vector();
        bad[at] = static_cast<char>(bad[at] ^ 0x01);
        EXPECT_FALSE(sealed::Open(*key, bad)) << at;
        auto other = sealed::KeyForFile(bad, kPassword);
        if (other) {
            EXPECT_FALSE(sealed::Open(*other, bad)) << at;
        }
    }
    EXPECT_FALSE(sealed::Open(*key, Vector().substr(0, sizeof kVector - 1)));
    auto wrong = sealed::KeyForFile(Vector(), L"ひみつabd");
    ASSERT_TRUE(wrong);
    EXPECT_FALSE(sealed::Open(*wrong, Vector()));
    // A count past what is read would hang the program on a hostile file.
    std::string slow = Vector();
    slow[11] = '\x7f';
    EXPECT_FALSE(sealed::KeyForFile(slow, kPassword));

    // A fuzz run through CNG, which only Wine offers here: for 3 s, random flips, cuts,
    // random tails and overwritten spans of the file; none may open.
    const unsigned seed = GetTickCount();
    std::mt19937 rng(seed);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    int runs = 0;
    for (const DWORD until = GetTickCount() + 3000; GetTickCount() < until; ++runs) {
        std::string bad = Vector();
        for (size_t k = 1 + pick(3); k > 0; --k) {
            const size_t at = pick(bad.size() + 1);
            switch (pick(4)) {
            case 0: if (at < bad.size()) bad[at] = static_cast<char>(bad[at] ^ (1 << pick(8))); break;
            case 1: bad.resize(at); break;
            case 2: bad.append(1 + pick(32), static_cast<char>(pick(256))); break;
            default: for (size_t i = at; i < bad.size() && i < at + 8; ++i) bad[i] = static_cast<char>(pick(256));
            }
        }
        if (bad == Vector()) continue;
        if (sealed::Open(*key, bad)) {
            ADD_FAILURE() << "damaged file opened (seed " << seed << ", run " << runs << ")";
            break;
        }
    }
    std::printf("%d damaged files, seed %u\n", runs, seed);
}

TEST(SealedFile, NeverWritesOverAFileItDoesNotOpen) {
    const std::wstring dir = testsupport::FreshFolder(L"hariko_sealed_" + std::to_wstring(GetCurrentProcessId()));
    const std::wstring path = dir + L"\\MyData_2.dat";
    auto key = sealed::KeyForFile(Vector(), kPassword);
    ASSERT_TRUE(key);
    std::string damaged = Vector();
    damaged[60] ^= 0x40;
    ASSERT_TRUE(WriteFileAtomic(path, damaged));
    EXPECT_FALSE(sealed::WriteFile(path, *key, "x"));
    EXPECT_EQ(damaged, ReadAllBytes(path));
    ASSERT_TRUE(WriteFileAtomic(path, Vector()));
    ASSERT_TRUE(sealed::WriteFile(path, *key, "y"));
    EXPECT_EQ("y", sealed::Open(*key, *ReadAllBytes(path)));
    testsupport::RemoveTree(dir);
}

}  // namespace
