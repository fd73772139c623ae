#include <gtest/gtest.h>

#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "store/dataset_check_logic.h"
#include "store/sealed_file.h"

TEST(WellFormedDataSet, AcceptsWhatTheWritersProduce) {
    EXPECT_TRUE(IsWellFormedDataSet(""));
    // hexadecimal colour form, CP932 text (氏名 / 青木　純)
    EXPECT_TRUE(IsWellFormedDataSet("\"\x8E\x81\x96\xBC\",\"\x90\xC2\x96\xD8\x81\x40\x8F\x83\",\"&HFFFFFF\"\r\n"));
    // decimal colour form, empty fields, a negative system colour
    EXPECT_TRUE(IsWellFormedDataSet("\"\",\"\",16777215\r\n\"a\",\"b\",-2147483633\r\n"));
    // text with CR LF and commas inside the quotes
    EXPECT_TRUE(IsWellFormedDataSet("\"x\",\"line1\r\nline2, more\",\"&HFFFFFF\"\r\n"));
    // what the reader reads as well: control characters in a text (form feed, ESC, DEL), no
    // final CR LF, an extra one, an empty bare colour
    EXPECT_TRUE(IsWellFormedDataSet("\"a\",\"\f\x1B\x7F\",1\r\n"));
    EXPECT_TRUE(IsWellFormedDataSet("\"a\",\"b\",\"&HFFFFFF\""));
    EXPECT_TRUE(IsWellFormedDataSet("\"a\",\"b\",\"&HFFFFFF\"\r\n\r\n"));
    EXPECT_TRUE(IsWellFormedDataSet("\"a\",\"b\",\r\n\"c\",\"d\",\r\n"));
    // UTF-8 behind the byte-order mark (𠮷田♡)
    EXPECT_TRUE(IsWellFormedDataSet("\xEF\xBB\xBF\"\xF0\xA0\xAE\xB7\xE7\x94\xB0\xE2\x99\xA1\",\"\",16777215\r\n"));
}

TEST(WellFormedDataSet, RejectsWhatAWrongKeyOrDamageGives) {
    EXPECT_FALSE(IsWellFormedDataSet("\"a\",\"b\"\r\n"));                    // two fields (older format)
    EXPECT_FALSE(IsWellFormedDataSet("\"a\",\"b\",\"c\",\"d\"\r\n"));        // four fields
    EXPECT_FALSE(IsWellFormedDataSet("\"\x81\",\"b\",1\r\n"));              // lead byte without trail
    EXPECT_FALSE(IsWellFormedDataSet("\"a\",\"b\",zz\r\n"));                // not a colour
    EXPECT_FALSE(IsWellFormedDataSet("\"\xA0\",\"b\",1\r\n"));              // 0xA0 is no character
    EXPECT_FALSE(IsWellFormedDataSet("\xEF\xBB\xBF\"\x90\xC2\",\"\",1\r\n"));  // code page 932 behind the mark
    // Random bytes, as decryption under another key gives, are never taken for records, nor
    // are they behind the mark.
    std::mt19937 rng(7);
    for (int run = 0; run < 200; ++run) {
        std::string s(300, '\0');
        for (char& c : s) c = static_cast<char>(rng() & 0xFF);
        EXPECT_FALSE(IsWellFormedDataSet(s));
        EXPECT_FALSE(IsWellFormedDataSet("\xEF\xBB\xBF" + s));
    }
}

TEST(WellFormedDataSet, TellsTheOlderTwoFieldFormatApart) {
    const std::string two = "\"a\",\"b\"\r\n\"c\",\"d,\r\ne\"\r\n";
    EXPECT_TRUE(IsTwoFieldDataSet(two));
    EXPECT_FALSE(IsWellFormedDataSet(two));
    const std::string three = "\"a\",\"b\",\"&HFFFFFF\"\r\n";
    EXPECT_FALSE(IsTwoFieldDataSet(three));
    EXPECT_FALSE(IsTwoFieldDataSet(""));
}

namespace {
std::string SealedBytes(uint32_t count, size_t body) {
    std::string b = "HRK-AES1" + std::string(reinterpret_cast<const char*>(&count), 4);  // little-endian
    return b + std::string(sealed::kSaltSize + sealed::kNonceSize + body + sealed::kTagSize, 'x');
}
}  // namespace

// Damage is told from a wrong password by the bytes alone: no password is tried on a file
// that cannot be a whole sealed one. After a seal, a file without the mark is damage too.
TEST(SealedShape, DamageIsToldFromTheHeaderAlone) {
    auto file = SealedBytes;
    for (auto [bytes, shape] : std::vector<std::pair<std::string, sealed::Shape>>{
             {file(600000, 0), sealed::Shape::Whole}, {file(20000000, 9), sealed::Shape::Whole},
             {file(0, 9), sealed::Shape::Damaged}, {file(20000001, 9), sealed::Shape::Damaged},
             {file(600000, 0).substr(0, 55), sealed::Shape::Damaged}, {"", sealed::Shape::NoMark},
             {"HRK-AES2" + file(600000, 9).substr(8), sealed::Shape::NoMark}}) {
        EXPECT_EQ(sealed::ShapeOf(bytes), shape) << bytes.size();
        const bool whole = shape == sealed::Shape::Whole, noMark = shape == sealed::Shape::NoMark;
        EXPECT_EQ(sealed::FormOf(bytes, false), whole ? sealed::Form::Sealed : noMark ? sealed::Form::Plain : sealed::Form::Damaged);
        EXPECT_EQ(sealed::FormOf(bytes, true), whole ? sealed::Form::Sealed : sealed::Form::Damaged) << bytes.size();
    }
}

// A run may end after any write of a seal or an unseal. The next start finds the old state or
// the new one: never damage, never a plain file whose key the password file does not name.
TEST(SealedShape, AnEndBetweenTwoWritesLeavesTheOldStateOrTheNew) {
    using enum sealed::StateWrite;
    const std::string sealedFile = SealedBytes(600000, 9), plainFile = "RC4 bytes";
    for (bool seal : {true, false}) {
        const std::span<const sealed::StateWrite> writes = seal ? sealed::kSealWrites : sealed::kUnsealWrites;
        for (size_t end = 0; end <= writes.size(); ++end) {
            std::string file = seal ? plainFile : sealedFile;
            std::wstring passwordFile = seal ? L"pw" : L"";  // sealed, the password file holds none
            bool noted = !seal;
            for (sealed::StateWrite w : writes.first(end)) {
                if (w == SealedFile || w == PlainFile) file = w == SealedFile ? sealedFile : plainFile;
                if (w == PasswordFile) passwordFile = seal ? L"" : L"pw";
                if (w == NoteSealed || w == NoteUnsealed) noted = w == NoteSealed;
            }
            const sealed::Form form = sealed::FormOf(file, noted);
            EXPECT_TRUE(form == sealed::Form::Sealed || (form == sealed::Form::Plain && passwordFile == L"pw"))
                << (seal ? "seal" : "unseal") << ", ended after " << end;
        }
    }
}
