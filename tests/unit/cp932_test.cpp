#include "base/cp932.h"

#include <gtest/gtest.h>

namespace {
std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b) s.push_back(static_cast<char>(c));
    return s;
}
}  // namespace

TEST(Cp932, JapaneseTextHasItsShiftJisBytes) {
    EXPECT_EQ(ToCp932(L"青木　純"), Bytes({0x90, 0xC2, 0x96, 0xD8, 0x81, 0x40, 0x8F, 0x83}));
    EXPECT_EQ(ToCp932(L"＼(^-^)／"), Bytes({0x81, 0x5F, 0x28, 0x5E, 0x2D, 0x5E, 0x29, 0x81, 0x5E}));
    EXPECT_EQ(ToCp932(L"ﾊﾟｽ"), Bytes({0xCA, 0xDF, 0xBD}));  // half-width katakana: one byte each
    EXPECT_EQ(ToCp932(L"～"), Bytes({0x81, 0x60}));           // U+FF5E, as Windows maps it
    EXPECT_EQ(ToCp932(L"①髙"), Bytes({0x87, 0x40, 0xFB, 0xFC}));
    EXPECT_EQ(ToCp932(L"a\\b\r\n"), std::string("a\\b\r\n"));
    EXPECT_EQ(ToCp932(L""), std::string());
}

TEST(Cp932, CharactersWithoutAnExactFormAreRefusedWithTheirPosition) {
    struct Case {
        const wchar_t* text;
        size_t index;
    } cases[] = {
        {L"ab\u00A9cd", 2},        // ©
        {L"ab\U0001F600", 2},      // emoji (a surrogate pair on Windows)
        {L"x\u00A5", 1},           // yen sign: best fit would make it a backslash
        {L"\u301C", 0},            // wave dash: best fit would make it U+FF5E
        {L"漢字\u00E9漢字", 2},    // é
        {L"ok\u00A9\u00A9", 2},    // the first of several
    };
    for (const Case& c : cases) {
        size_t index = 999;
        EXPECT_FALSE(ToCp932(c.text, &index).has_value()) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(index, c.index) << testing::PrintToString(std::wstring(c.text));
    }
    EXPECT_FALSE(ToCp932(L"\u00A9").has_value());  // no index asked for
}

TEST(Cp932, BytesDecodeToText) {
    EXPECT_EQ(FromCp932(Bytes({0x8E, 0x81, 0x96, 0xBC})), L"氏名");
    EXPECT_EQ(FromCp932(Bytes({0x28, 0x81, 0x45, 0x81, 0x45, 0x3F, 0x29})), L"(・・?)");
    EXPECT_EQ(FromCp932(Bytes({0xB1, 0x81, 0x5B})), L"ｱー");
    EXPECT_EQ(FromCp932(""), L"");
    // The first range of lead bytes ends at 0x9F (0x9F 0x40 is 檗).
    EXPECT_TRUE(IsLeadByte932(0x9F));
    // A lead byte with nothing after it cannot be decoded.
    EXPECT_EQ(FromCp932(Bytes({0x41, 0x81})), L"A\u30FB");
}

TEST(Cp932, EveryEncodableTextReadsBack) {
    std::wstring all;
    for (wchar_t c = 0x20; c < 0xD800; ++c) {
        if (ToCp932(std::wstring(1, c))) all.push_back(c);
    }
    // JIS X 0208 with the NEC and IBM extensions: several thousand characters.
    EXPECT_GT(all.size(), 7000u);
    auto bytes = ToCp932(all);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(FromCp932(*bytes), all);
}
