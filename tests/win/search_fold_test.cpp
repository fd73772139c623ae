// The system's fold for the search, as Windows (here Wine) does it: every spelling of a word
// a Japanese user types folds to the same text, and characters it must not touch stay whole.
#include <gtest/gtest.h>

#include "panel/search_fold_win.h"

TEST(SearchFold, KanaWidthAndCaseFoldAlikeAndOtherTextStays) {
    const WinFold fold;
    const std::pair<std::wstring, std::wstring> alike[] = {
        {L"あおき", L"アオキ"}, {L"あおき", L"ｱｵｷ"}, {L"abc", L"ＡＢＣ"}, {L"ａｂｃ", L"ABC"},
        {L"ガイド", L"ｶﾞｲﾄﾞ"}, {L"ぱぴ", L"ﾊﾟﾋﾟ"}, {L"あおき　じゅん", L"ｱｵｷ ｼﾞｭﾝ"},
    };
    for (const auto& [a, b] : alike) EXPECT_EQ(fold.Fold(a), fold.Fold(b)) << testing::PrintToString(b);
    EXPECT_EQ(fold.Fold(L"ｶﾞｲﾄﾞ"), L"がいど");  // voiced marks composed: one character each
    EXPECT_NE(fold.Fold(L"かき"), fold.Fold(L"がぎ"));
    for (const std::wstring keep : {L"𠮷野家", L"😀(^_^)", L"1\r\n2", L"青木\xE000純"})
        EXPECT_EQ(fold.Fold(keep), keep) << testing::PrintToString(keep);
}
