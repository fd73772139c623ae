#include "base/number.h"
#include "base/twips.h"

#include <gtest/gtest.h>

#include <limits>

TEST(LeadingNumber, ReadsTheLeadingNumberOnly) {
    EXPECT_DOUBLE_EQ(LeadingNumber(L" 12.5abc"), 12.5);
    EXPECT_DOUBLE_EQ(LeadingNumber(L"\t-3.25"), -3.25);
    EXPECT_DOUBLE_EQ(LeadingNumber(L"+7"), 7.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(L"1615 198"), 1615.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(L"42."), 42.0);
    EXPECT_DOUBLE_EQ(LeadingNumber(L".5"), 0.5);
    EXPECT_DOUBLE_EQ(LeadingNumber(L"1e3"), 1.0);
}

TEST(LeadingNumber, NoNumberIsZero) {
    for (const wchar_t* s : {L"", L"Reg_Type", L"Reg_Number1", L"-", L"+.", L"  ", L"&H10", L"１２"}) {
        EXPECT_EQ(LeadingNumber(s), 0.0) << testing::PrintToString(std::wstring(s));
    }
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    EXPECT_EQ(RoundHalfEven(-0.7), -1);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(RoundHalfEven(1e300), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(RoundHalfEven(-1e300), std::numeric_limits<int64_t>::min());
}

TEST(Setting, StoredTextsReadAsTheProgramExpects) {
    EXPECT_EQ(SettingToInt32(L"Reg_Type"), 0);  // a missing key: the default text
    EXPECT_EQ(SettingToInt32(L""), 0);
    EXPECT_EQ(SettingToInt32(L"25"), 25);
    EXPECT_EQ(SettingToInt32(L" 12.5abc"), 12);
    EXPECT_EQ(SettingToInt32(L"13.5"), 14);
    EXPECT_EQ(SettingToInt32(L"-2.5"), -2);
    EXPECT_EQ(SettingToInt32(L"4185"), 4185);  // a twip position
    EXPECT_EQ(SettingToInt16(L"202"), 202);
    EXPECT_EQ(SettingToInt16(L"-3"), -3);
}

TEST(Setting, HandEditedValuesOutOfRangeAreClamped) {
    EXPECT_EQ(SettingToInt16(L"40000"), 32767);
    EXPECT_EQ(SettingToInt16(L"-40000"), -32768);
    EXPECT_EQ(SettingToInt32(L"99999999999"), 2147483647);
    EXPECT_EQ(SettingToInt32(L"-99999999999"), -2147483647 - 1);
    EXPECT_EQ(SettingToInt32(std::wstring(400, L'9')), 2147483647);
    EXPECT_EQ(SettingToInt32(L"0." + std::wstring(400, L'0') + L"1"), 0);
}

TEST(Twips, ConvertAtCommonDpis) {
    EXPECT_EQ(TwipsToPixels(15, 96), 1);
    EXPECT_EQ(TwipsToPixels(1825, 96), 122);   // 121.67
    EXPECT_EQ(TwipsToPixels(8225, 96), 548);   // 548.33
    EXPECT_EQ(TwipsToPixels(1825, 144), 183);  // 182.5 rounds away from zero
    EXPECT_EQ(TwipsToPixels(280, 120), 23);    // 23.33
    EXPECT_EQ(TwipsToPixels(-480, 96), -32);
    EXPECT_EQ(TwipsToPixels(-1825, 144), -183);
    EXPECT_EQ(PixelsToTwips(122, 96), 1830);
    EXPECT_EQ(PixelsToTwips(183, 144), 1830);
    EXPECT_EQ(PixelsToTwips(1, 120), 12);
    EXPECT_EQ(TwipsToPixels(1440, 0), 96);  // no DPI known: 96
}
