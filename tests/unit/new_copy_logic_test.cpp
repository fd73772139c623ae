// The name of a new copy, as 作成 judges it.
#include <gtest/gtest.h>

#include "base/path_limits.h"
#include "protect/new_copy_logic.h"

using new_copy::CheckNewName;
using new_copy::NameProblem;

TEST(NewCopyLogic, NamesThatMakeNoGoodFileAreRefused) {
    for (const wchar_t* ok : {L"テスト", L"ハリコ2", L"my copy", L" lead", L"CONSOLE", L"COM10", L"LPT0", L"a.b", L"名前　"})
        EXPECT_EQ(CheckNewName(ok), NameProblem::None) << ok;
    for (const wchar_t* empty : {L"", L"   ", L"　　"}) EXPECT_EQ(CheckNewName(empty), NameProblem::Empty);
    for (const wchar_t* bad : {L"a\\b", L"a/b", L"a:b", L"a*", L"?", L"\"x\"", L"<x", L"x>", L"a|b", L"a\tb"})
        EXPECT_EQ(CheckNewName(bad), NameProblem::Forbidden) << bad;
    for (const wchar_t* dev : {L"CON", L"prn", L"Aux", L"nul.txt", L"COM1", L"com9", L"LPT1", L"lpt9 .x"})
        EXPECT_EQ(CheckNewName(dev), NameProblem::Reserved) << dev;
    for (const wchar_t* tail : {L"abc.", L"abc ", L"CON."})
        EXPECT_EQ(CheckNewName(tail), NameProblem::TrailingDotOrSpace) << tail;
    int forbidden = 0;
    for (wchar_t c = 0x20; c < 0x7F; ++c) forbidden += new_copy::IsForbiddenChar(c);
    EXPECT_EQ(forbidden, 9);
}

TEST(NewCopyLogic, ANameFitsTheFileNameAndThePathLimits) {
    EXPECT_EQ(LongestName(L"C:", 4), 251u);                          // the name limit less ".exe"
    EXPECT_EQ(LongestName(L"C:\\tools", 4), 246u);                  // the path limit
    EXPECT_EQ(LongestName(std::wstring(200, L'd'), 4), 54u);         // 200 + "\\" + 54 + ".exe" = 259
    EXPECT_EQ(LongestName(std::wstring(254, L'd'), 4), 0u);
    EXPECT_EQ(LongestName(std::wstring(300, L'd'), 4), 0u);
}
