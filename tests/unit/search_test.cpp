#include <gtest/gtest.h>

#include "panel/search_logic.h"

using namespace search;

namespace {
constexpr DataSet P = DataSet::Public, V = DataSet::Private, K = DataSet::Kaomoji;
// What the system's fold does to the characters used here: katakana of either width to
// hiragana (half-width voiced marks composed), narrow, lower case.
class TableFold : public IFold {
public:
    std::wstring Fold(std::wstring_view t) const override {
        static const std::wstring half = L"ｱｲｵｶｷﾄﾋﾙ", hira = L"あいおかきとひる";
        std::wstring out;
        for (wchar_t c : t) {
            if (c == 0xFF9E && !out.empty()) out.back() = static_cast<wchar_t>(out.back() + 1);  // ﾞ
            else if (auto at = half.find(c); at != std::wstring::npos) out += hira[at];
            else if (c >= 0x30A1 && c <= 0x30F6) out += static_cast<wchar_t>(c - 0x60);
            else if (c >= 0xFF01 && c <= 0xFF5E) out += static_cast<wchar_t>(towlower(c - 0xFEE0));
            else out += c == 0x3000 ? L' ' : static_cast<wchar_t>(towlower(c));
        }
        return out;
    }
};
// Drops the character FoldMany joins with: the one-by-one way must give the same.
class LossyFold : public TableFold {
public:
    std::wstring Fold(std::wstring_view t) const override {
        std::wstring s = TableFold::Fold(t);
        std::erase(s, wchar_t(0xE000));
        return s;
    }
};

SearchIndex Index(const IFold& fold) {
    SearchIndex ix;
    ix.Sync(P, 1, {{L"ｱｵｷ", L"青木　純", L""}, {L"住所", L"東京都\r\nｱｵｷﾋﾞﾙ 3F", L""}, {L"", L"", L""},
                   {L"𠮷野家😀", L"ABC ガイド", L""}, {L"会社 アオキ", L"株式会社", L""}}, fold);
    ix.Sync(V, 7, {{L"あおき口座", L"1234567", L""}}, fold);
    ix.Sync(K, 1, {{L"あおき", L"(^_^)", L""}}, fold);
    return ix;
}
}  // namespace

TEST(Search, FoldedWordsFindEntriesInOrderOfCaptionStartCaptionText) {
    const TableFold fold;
    const LossyFold lossy;
    for (const IFold* f : {static_cast<const IFold*>(&fold), static_cast<const IFold*>(&lossy)}) {
        const SearchIndex ix = Index(*f);
        struct Case { const wchar_t* box; bool privateOpen; std::vector<Hit> hits; };
        const Case cases[] = {
            {L"あおき", false, {{P, 0}, {K, 0}, {P, 4}, {P, 1}}},
            {L"ｱｵｷ", true, {{P, 0}, {V, 0}, {K, 0}, {P, 4}, {P, 1}}},
            {L"アオキ　ﾋﾞﾙ", true, {{P, 1}}},  // two words, a full-width space between
            {L"ａｂｃ ｶﾞｲﾄﾞ", false, {{P, 3}}},
            {L"びる 3f", false, {{P, 1}}},  // the second line of a CR LF text
            {L"𠮷", false, {{P, 3}}},
            {L"😀", false, {{P, 3}}},
            {L"  ", false, {{P, 0}, {P, 1}, {P, 3}, {P, 4}, {K, 0}}},  // blank entries never listed
            {L"あおき 1234", true, {{V, 0}}},
            {L"無い", true, {}},
        };
        for (const Case& c : cases) {
            const Found found = ix.Filter(c.box, *f, c.privateOpen);
            EXPECT_EQ(found.hits, c.hits) << testing::PrintToString(std::wstring(c.box));
            EXPECT_EQ(found.lockedLine, !c.privateOpen);
        }
        EXPECT_EQ(ix.Line({P, 1}), L"住所 〔Public〕 東京都");
        EXPECT_EQ(ix.Line({V, 0}), L"あおき口座 〔Private〕");  // a Private text never shows
        EXPECT_EQ(ix.Line({K, 0}), L"あおき 〔顔文字〕 (^_^)");
    }
}

TEST(Search, PrivateForgottenAndSetsFoldedAgainOnlyWhenChanged) {
    const TableFold fold;
    SearchIndex ix = Index(fold);
    EXPECT_TRUE(ix.Current(V, 7));
    EXPECT_FALSE(ix.Current(P, 2));
    ix.Forget(V);
    EXPECT_FALSE(ix.Synced(V));
    EXPECT_EQ(ix.Filter(L"1234", fold, true).hits, std::vector<Hit>{});
    EXPECT_EQ(ix.EntryOf({V, 0}), nullptr);
}

TEST(Search, EnterAfterTheCompositionEndsPastesOnlyOnTheNextPress) {
    ImeEnterGate gate;
    EXPECT_TRUE(gate.EnterPastes(100, 0));
    gate.StartComposition();
    EXPECT_FALSE(gate.EnterPastes(200, 3));
    gate.EndComposition(300);
    EXPECT_FALSE(gate.EnterPastes(300, 0));  // the key that committed the text
    EXPECT_TRUE(gate.EnterPastes(450, 0));
    EXPECT_FALSE(gate.EnterPastes(500, 2));  // the input method still holds text
}

TEST(Search, WindowGoesBesideThePanelOnTheSideWithRoom) {
    const Box work{0, 0, 1000, 700};
    EXPECT_EQ(PlaceBeside({100, 50, 220, 600}, work, 300, 250).left, 220);
    EXPECT_EQ(PlaceBeside({800, 50, 920, 600}, work, 300, 250).left, 500);
    const Box low = PlaceBeside({100, 600, 220, 690}, work, 300, 250);
    EXPECT_EQ(low.top, 450);
}
