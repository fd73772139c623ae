#include "base/color.h"

#include <gtest/gtest.h>

TEST(ColorText, HexAndDecimalFormsReadAsTheSameValue) {
    EXPECT_EQ(ColorTextToValue(L"&HFFFFFF"), 16777215);
    EXPECT_EQ(ColorTextToValue(L"16777215"), 16777215);
    EXPECT_EQ(ColorTextToValue(L"&hffffff"), 16777215);
    EXPECT_EQ(ColorTextToValue(L"&HFFFFC0"), 16777152);
    EXPECT_EQ(ColorTextToValue(L"&H8000000F"), -2147483633);  // button face
    EXPECT_EQ(ColorTextToValue(L"-2147483633"), -2147483633);
    EXPECT_EQ(ColorTextToValue(L"&HFFFFFFFF"), -1);
    EXPECT_EQ(ColorTextToValue(L"&HFF"), 255);
    EXPECT_EQ(ColorTextToValue(L"&H0"), 0);
    EXPECT_EQ(ColorTextToValue(L" 255 "), 255);
    EXPECT_EQ(ColorTextToValue(L"+12"), 12);
    EXPECT_EQ(ColorTextToValue(L"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ColorTextToValue(L"2147483647"), 2147483647);
}

TEST(ColorText, TextThatIsNoColourIsRefused) {
    for (const wchar_t* s : {L"", L"&H", L"&H123456789", L"&HFFFFFG", L"abc", L"12abc", L"2147483648",
                             L"-2147483649", L"99999999999999999999", L"-", L"1.5", L"&O17"}) {
        EXPECT_FALSE(ColorTextToValue(s).has_value()) << testing::PrintToString(std::wstring(s));
    }
}

TEST(ColorText, ValuesAreWrittenInBothForms) {
    EXPECT_EQ(ColorValueToDecimalText(16777215), L"16777215");
    EXPECT_EQ(ColorValueToDecimalText(-2147483633), L"-2147483633");
    EXPECT_EQ(ColorValueToDecimalText(0), L"0");
    EXPECT_EQ(ColorValueToHexText(16777215), L"&HFFFFFF");
    EXPECT_EQ(ColorValueToHexText(-2147483633), L"&H8000000F");
    EXPECT_EQ(ColorValueToHexText(0xC0), L"&HC0");
    EXPECT_EQ(ColorValueToHexText(0), L"&H0");
}
