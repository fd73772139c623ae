#include "app/csv_import_logic.h"
#include "store/csv_format.h"

#include <gtest/gtest.h>

#include "base/cp932.h"
#include "base/utf8.h"

namespace {
std::string Utf8(const std::wstring& s) { return ToUtf8(s).value(); }
std::string Written(const std::vector<Entry>& e) { return EncodeDataSet(e, ColourForm::Decimal).bytes; }
// Exported, imported back with 置き換え over the same file: the bytes written.
std::string RoundTrip(const std::string& file) {
    const DataSetContents now = ReadDataSet(file);
    const CsvImport im = EntriesFromCsv(EncodeCsv(now.entries).value());
    EXPECT_EQ(im.fault, CsvFault::None);
    const MergedSet m = Replaced(now, im.entries);
    return EncodeDataSet(m.entries, ColourForm::Decimal, m.asRead).bytes;
}
}  // namespace

TEST(Csv, WrittenForExcelAndReadBack) {
    const std::vector<Entry> e = {{L"住所", L"東京都港区\r\n芝公園4-2-8, 若葉ビル", L"&HC0FFFF"},
                                  {L"𠮷田😊", L"say \u201Chi\u201D", L"-2147483633"},
                                  {L"", L"", L"&HFFFFFF"}};
    const std::string csv = EncodeCsv(e).value();
    EXPECT_EQ(csv, "\xEF\xBB\xBF" + Utf8(L"見出し,内容,色\r\n住所,\"東京都港区\r\n芝公園4-2-8, 若葉ビル\",#FFFFC0\r\n"
                                         L"𠮷田😊,say \u201Chi\u201D,&H8000000F\r\n,,#FFFFFF\r\n"));
    const CsvImport im = EntriesFromCsv(csv);
    ASSERT_EQ(im.entries.size(), 3u);
    EXPECT_EQ(im.entries[0].text, e[0].text);
    EXPECT_EQ(im.entries[0].colour, L"12648447");  // &HC0FFFF
    EXPECT_EQ(im.entries[1].caption, e[1].caption);
    EXPECT_EQ(im.entries[1].colour, L"-2147483633");
    EXPECT_EQ(im.captionsCut + im.coloursDefaulted, 0);
}

TEST(Csv, ReplacingWithTheExportGivesTheFileBackByteForByte) {
    const std::string initial = EncodeDataSet(InitialPublicEntries(), ColourForm::HexText).bytes;
    EXPECT_EQ(RoundTrip(initial), initial);
    // As the editor leaves a file: rows it changed in decimal, the others as they were, in UTF-8.
    std::string mixed = Written({{L"𠮷", L"a\r\nb,c", L"255"}, {L"", L"", L"-2147483633"}});
    mixed += "\"\",\"\",\"&HFFFFFF\"\r\n";
    EXPECT_EQ(RoundTrip(mixed), mixed);
}

TEST(Csv, ReadsWhatExcelAndLibreOfficeSave) {
    // Shift_JIS without a header, LF line ends, a cell's line break as a lone LF.
    const std::string sjis = ToCp932(L"会社,若葉商会,FF0000\n住所,\"東京\n港区\",\n").value();
    CsvImport im = EntriesFromCsv(sjis);
    ASSERT_EQ(im.entries.size(), 2u);
    EXPECT_EQ(im.entries[0].caption, L"会社");
    EXPECT_EQ(im.entries[0].colour, L"255");
    EXPECT_EQ(im.entries[1].text, L"東京\r\n港区");
    EXPECT_EQ(im.entries[1].colour, L"16777215");
    // The same characters as UTF-8 without the mark read the same.
    EXPECT_EQ(EntriesFromCsv(Utf8(L"会社,若葉商会,FF0000\n住所,\"東京\n港区\",\n")).entries, im.entries);
    // An English header in any order and case with a column of its own, colours in every form.
    im = EntriesFromCsv("Colour,TEXT,memo,caption\r\n#00ff00,a,-,A\r\n&H8000000F&,b,,B\r\nred,c,,C\r\n&HFF,d,,D\r\n");
    ASSERT_EQ(im.entries.size(), 4u);
    EXPECT_EQ(im.entries[0].caption, L"A");
    EXPECT_EQ(im.entries[0].colour, L"65280");
    EXPECT_EQ(im.entries[1].colour, L"-2147483633");
    EXPECT_EQ(im.entries[2].colour, L"16777215");
    EXPECT_EQ(im.entries[3].colour, L"255");
    EXPECT_EQ(im.coloursDefaulted, 1);
}

TEST(Csv, OneColumnAndLongCaptions) {
    CsvImport im = EntriesFromCsv(Utf8(L"\"いつもお世話になっております。\r\n若葉商会です。\"\r\n𠮷\r\n"));
    ASSERT_EQ(im.entries.size(), 2u);
    EXPECT_EQ(im.entries[0].caption, L"いつもお世話に");  // 全角7
    EXPECT_EQ(im.entries[0].text, L"いつもお世話になっております。\r\n若葉商会です。");
    EXPECT_EQ(im.entries[1].caption, L"𠮷");
    EXPECT_EQ(im.captionsCut, 0);  // taken from the text, not cut from a caption
    im = EntriesFromCsv(Utf8(L"見出し,内容\r\nabcdefghijklmnop,x\r\n"));
    EXPECT_EQ(im.entries.at(0).caption, L"abcdefghijklmn");
    EXPECT_EQ(im.captionsCut, 1);
}

TEST(Csv, RefusesWhatIsNoCsvWithTheLine) {
    auto refusal = [](const std::string& bytes) {
        const CsvImport im = EntriesFromCsv(bytes);
        EXPECT_TRUE(im.entries.empty());
        return std::make_pair(im.fault, im.line);
    };
    using P = std::pair<CsvFault, size_t>;
    EXPECT_EQ(refusal("a,b\r\nc,d\r\ne,f\r\ng,h\r\ni,\"j\r\nk\r\n"), P(CsvFault::UnclosedQuote, 5));
    EXPECT_EQ(refusal(""), P(CsvFault::Empty, 1));
    EXPECT_EQ(refusal(std::string("MZ\x90\r\n\x03\0\0\0", 10)), P(CsvFault::Binary, 2));
    EXPECT_EQ(refusal("a,\"b\"c\r\n"), P(CsvFault::AfterQuote, 1));
    EXPECT_EQ(refusal("a,b\r\nc,\"say \"\"hi\"\"\"\r\n"), P(CsvFault::QuoteInField, 2));
    EXPECT_EQ(refusal(Utf8(L"見出し,内容,色\r\n")), P(CsvFault::NoRows, 2));
}

TEST(Csv, AppendedAfterTheLastEntryInUse) {
    const std::string file = Written({{L"a", L"1", L"255"}, {L"", L"2", L"255"}, {L"", L"", L"255"}, {L"", L"", L"255"}});
    const DataSetContents now = ReadDataSet(file);
    const MergedSet m = Appended(now, {{L"x", L"", L"0"}, {L"y", L"", L"0"}, {L"z", L"", L"0"}});
    ASSERT_EQ(m.entries.size(), 5u);
    EXPECT_EQ(m.entries[2].caption, L"x");
    EXPECT_EQ(m.entries[4].caption, L"z");
    EXPECT_TRUE(m.asRead[0] && m.asRead[1] && !m.asRead[2]);
}
