#include <gtest/gtest.h>

#include "panel/insert_fields_logic.h"

using namespace fields;

static const Moment kMonday{{2026, 12, 7}, 1, 9, 5};

TEST(InsertFields, EachFieldAsTheUserReadsIt) {
    // Unknown or broken braces stay exactly as written; a field inside them still fills in.
    EXPECT_EQ(Fill(L"{日付}|{日付/}|{和暦}|{曜日}|{時刻}|{クリップボード}|{名前}{日付{曜日}}{ {時刻", kMonday,
                   L"控え", OwnEras()).text,
              L"2026年12月7日|2026/12/07|令和8年12月7日|月|9:05|控え|{名前}{日付月}{ {時刻");
}

TEST(InsertFields, FullWidthBracesAsTheImeTypesThemAreFieldsToo) {
    const auto f = Fill(L"｛日付／｝|｛和暦}|{曜日｝|｛名前｝｛カーソル｝様", kMonday, L"", OwnEras());
    EXPECT_EQ(f.text, L"2026/12/07|令和8年12月7日|月|｛名前｝様");
    EXPECT_EQ(f.caretBack, 1);
    EXPECT_TRUE(NeedsClipboard(L"前｛クリップボード｝"));
    EXPECT_FALSE(NeedsClipboard(L"｛クリップ｝"));
}

TEST(InsertFields, EraBoundariesAndFirstYears) {
    const auto eras = OwnEras();
    EXPECT_EQ(JapaneseDate({1989, 1, 7}, eras), L"昭和64年1月7日");
    EXPECT_EQ(JapaneseDate({1989, 1, 8}, eras), L"平成元年1月8日");
    EXPECT_EQ(JapaneseDate({2019, 4, 30}, eras), L"平成31年4月30日");
    EXPECT_EQ(JapaneseDate({2019, 5, 1}, eras), L"令和元年5月1日");
    EXPECT_EQ(JapaneseDate({1868, 1, 24}, eras), L"1868年1月24日");
}

TEST(InsertFields, AnEraWindowsKnowsIsAddedAndOurDatesStand) {
    const auto eras = WithWindowsEras(OwnEras(), {{L"1868 01 01", L"明治_明_Meiji_M"},
                                                  {L"2040 04 01", L"新元_新_Shingen_S"},
                                                  {L"someday", L"壊_壊_Broken_B"},
                                                  {L"2050 01 01", L"_x"}});
    ASSERT_EQ(eras.size(), 6u);
    EXPECT_EQ(JapaneseDate({1868, 1, 10}, eras), L"1868年1月10日");
    EXPECT_EQ(JapaneseDate({2040, 3, 31}, eras), L"令和22年3月31日");
    EXPECT_EQ(JapaneseDate({2040, 4, 1}, eras), L"新元元年4月1日");
}

TEST(InsertFields, CaretStopsCountPairsAndLineBreaksOnce) {
    EXPECT_EQ(CaretStops(L"a𠮷\r\nb"), 4);
    const auto f = Fill(L"{カーソル}𠮷\r\n様{カーソル}!", kMonday, L"", OwnEras());
    EXPECT_EQ(f.text, L"𠮷\r\n様!");
    EXPECT_EQ(f.caretBack, 4);
    EXPECT_EQ(Fill(L"様", kMonday, L"", OwnEras()).caretBack, -1);
    // A field in the clipboard's text is the user's text, not a field.
    EXPECT_EQ(Fill(L"{クリップボード}", kMonday, L"{カーソル}", OwnEras()).caretBack, -1);
}
