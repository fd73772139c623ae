#include "store/dataset_format.h"

#include "base/color.h"

#include <gtest/gtest.h>

namespace {
std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b) s.push_back(static_cast<char>(c));
    return s;
}
std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}
std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

const std::string kBlankHexLine = "\"\",\"\",\"&HFFFFFF\"\r\n";

std::string KaomojiLine(const std::string& face) {
    return Quoted(face) + "," + Quoted(face) + ",\"&HFFFFFF\"\r\n";
}
}  // namespace

TEST(InitialFiles, PublicDataSetBytes) {
    std::string expected =
        Quoted(Bytes({0x8E, 0x81, 0x96, 0xBC})) + "," +                               // 氏名
        Quoted(Bytes({0x90, 0xC2, 0x96, 0xD8, 0x81, 0x40, 0x8F, 0x83})) + ",\"&HFFFFFF\"\r\n" +  // 青木　純
        Quoted(Bytes({0x89, 0xEF, 0x8E, 0xD0, 0x96, 0xBC})) + "," +                   // 会社名
        Quoted(Bytes({0x8E, 0xE1, 0x97, 0x74, 0x8F, 0xA4, 0x89, 0xEF})) + ",\"&HFFFFFF\"\r\n" +  // 若葉商会
        Repeat(kBlankHexLine, 23);
    EncodeResult r = EncodeDataSet(InitialPublicEntries(), ColourForm::HexText);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.bytes, expected);
}

TEST(InitialFiles, PrivateBlankSetBytes) {
    EncodeResult r = EncodeDataSet(BlankEntries(), ColourForm::HexText);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.bytes, Repeat(kBlankHexLine, 25));
    EXPECT_EQ(r.bytes.size(), 25u * 18u);
}

TEST(InitialFiles, KaomojiDataSetBytes) {
    std::string expected = KaomojiLine("(^-^)") + KaomojiLine("(^o^)") + KaomojiLine("(^-^)v") +
                           KaomojiLine("f(^_^)") +
                           KaomojiLine(Bytes({0x81, 0x5F, 0x28, 0x5E, 0x2D, 0x5E, 0x29, 0x81, 0x5E})) +  // ＼(^-^)／
                           KaomojiLine(Bytes({0x81, 0x5F, 0x28, 0x5E, 0x6F, 0x5E, 0x29, 0x81, 0x5E})) +  // ＼(^o^)／
                           KaomojiLine(Bytes({0x28, 0x81, 0xBF, 0x2E, 0x81, 0xBF, 0x29})) +              // (∩.∩)
                           KaomojiLine(Bytes({0x28, 0x81, 0x4F, 0x76, 0x5E, 0x29})) +                    // (＾v^)
                           KaomojiLine("^-^;") + KaomojiLine("(^-^;") + KaomojiLine("(^o^;") +
                           KaomojiLine("(ToT)") + KaomojiLine("(-_-#)") +
                           KaomojiLine(Bytes({0x28, 0x20, 0x5E, 0x5F, 0x5E, 0x29, 0x81, 0x5E})) +  // ( ^_^)／
                           KaomojiLine("(>_<)") + KaomojiLine("(+_+)") +
                           KaomojiLine(Bytes({0x28, 0x5E, 0x81, 0x5B, 0x5E, 0x29, 0x2F})) +        // (^ー^)/
                           KaomojiLine(Bytes({0x28, 0x81, 0x45, 0x81, 0x45, 0x3F, 0x29})) +        // (・・?)
                           KaomojiLine("(o^o^o)") + KaomojiLine("(*^^*)") + Repeat(kBlankHexLine, 5);
    EncodeResult r = EncodeDataSet(InitialKaomojiEntries(), ColourForm::HexText);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.bytes, expected);
}

TEST(InitialFiles, ColorDatAndPasswordFileBytes) {
    EXPECT_EQ(InitialColorDatBytes(),
              "\"&HFFFFFF\"\r\n\"&HFFFFC0\"\r\n\"&HC0FFFF\"\r\n\"&HC0C0FF\"\r\n\"&HC0FFC0\"\r\n" +
                  Repeat("\"&H8000000F\"\r\n", 11));
    EXPECT_EQ(PasswordFilePlainBytes(L""), "\"\"\r\n");
    EXPECT_EQ(PasswordFilePlainBytes(L"abc123"), "\"abc123\"\r\n");
    EXPECT_EQ(PasswordFilePlainBytes(L"ぱす"), "\"" + Bytes({0x82, 0xCF, 0x82, 0xB7}) + "\"\r\n");
    // A password the file cannot hold is not turned into another one.
    EXPECT_EQ(PasswordFilePlainBytes(L"a\"b"), "");
    EXPECT_EQ(PasswordFilePlainBytes(L"pass\u00A9"), "");
    EXPECT_EQ(EncodeColorDat({16777215, 16777152, -2147483633}), "16777215\r\n16777152\r\n-2147483633\r\n");
}

TEST(DataSetWriter, BothColourForms) {
    std::vector<Entry> entries = {{L"会社名", L"若葉商会", L"&HFFFFFF"},
                                  {L"a", L"1,2\r\n3", L"&H8000000F"},
                                  {L"", L"", L"255"}};
    std::string company = Quoted(Bytes({0x89, 0xEF, 0x8E, 0xD0, 0x96, 0xBC})) + "," +
                          Quoted(Bytes({0x8E, 0xE1, 0x97, 0x74, 0x8F, 0xA4, 0x89, 0xEF})) + ",";

    EncodeResult dec = EncodeDataSet(entries, ColourForm::Decimal);
    ASSERT_TRUE(dec.ok);
    EXPECT_EQ(dec.bytes, company + "16777215\r\n\"a\",\"1,2\r\n3\",-2147483633\r\n\"\",\"\",255\r\n");

    EncodeResult hex = EncodeDataSet(entries, ColourForm::HexText);
    ASSERT_TRUE(hex.ok);
    EXPECT_EQ(hex.bytes, company + "\"&HFFFFFF\"\r\n\"a\",\"1,2\r\n3\",\"&H8000000F\"\r\n\"\",\"\",\"&HFF\"\r\n");
    // A colour typed as hexadecimal in lower case is hexadecimal too, and kept as typed.
    EXPECT_EQ(EncodeDataSet({{L"a", L"b", L"&hc0ffc0"}}, ColourForm::HexText).bytes, "\"a\",\"b\",\"&hc0ffc0\"\r\n");

    EXPECT_EQ(EncodeDataSet({}, ColourForm::Decimal).bytes, "");
}

TEST(DataSetWriter, RefusesWhatTheFileCannotHold) {
    // Half a surrogate pair has no form in either encoding.
    std::vector<Entry> entries = BlankEntries(3);
    entries[1].text = std::wstring(L"abc") + static_cast<wchar_t>(0xD83D);
    EncodeResult r = EncodeDataSet(entries, ColourForm::Decimal);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.bytes.empty());
    EXPECT_EQ(r.badRecord, 1u);
    EXPECT_EQ(r.badField, 1);
    EXPECT_EQ(r.badCharIndex, 3u);

    entries = BlankEntries(3);
    entries[2].caption = std::wstring(L"著作権") + static_cast<wchar_t>(0xDC00) + L"\u00A9";
    r = EncodeDataSet(entries, ColourForm::HexText);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.badRecord, 2u);
    EXPECT_EQ(r.badField, 0);
    EXPECT_EQ(r.badCharIndex, 3u);

    // A double quote would end the field early and shift every later record.
    entries = BlankEntries(2);
    entries[0].text = L"say \"hi\"";
    r = EncodeDataSet(entries, ColourForm::Decimal);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.badRecord, 0u);
    EXPECT_EQ(r.badField, 1);
    EXPECT_EQ(r.badCharIndex, 4u);

    entries = BlankEntries(2);
    entries[1].colour = L"red";
    r = EncodeDataSet(entries, ColourForm::Decimal);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.badRecord, 1u);
    EXPECT_EQ(r.badField, 2);
}

TEST(DataSetReader, ReadsWhatBothWritersWrite) {
    std::vector<Entry> entries = {{L"氏名", L"青木　純\r\n東京都, 港区", L"&HFFFFFF"},
                                  {L"", L"", L"&H8000000F"},
                                  {L" 空白 ", L"\t", L"&HC0FFC0"}};
    EXPECT_EQ(ParseDataSet(EncodeDataSet(entries, ColourForm::HexText).bytes), entries);

    std::vector<Entry> decimal = ParseDataSet(EncodeDataSet(entries, ColourForm::Decimal).bytes);
    ASSERT_EQ(decimal.size(), 3u);
    EXPECT_EQ(decimal[0].text, entries[0].text);
    EXPECT_EQ(decimal[0].colour, L"16777215");
    EXPECT_EQ(decimal[1].colour, L"-2147483633");
    EXPECT_EQ(decimal[2].caption, L" 空白 ");
}

TEST(DataSetFiles, BeyondCodePage932TheFileIsUtf8WithTheMarkAndBackAgain) {
    const std::vector<Entry> entries = {{L"𠮷田♡", L"😊 e\u0301\r\n( ˘ω˘ ), ʕ•ᴥ•ʔ", L"&HFFFFFF"},
                                        {L"氏名", L"青木　純", L"255"}};
    EncodeResult r = EncodeDataSet(entries, ColourForm::HexText);
    ASSERT_TRUE(r.ok);
    const std::string head = "\xEF\xBB\xBF\"\xF0\xA0\xAE\xB7\xE7\x94\xB0\xE2\x99\xA1\",";  // the mark, "𠮷田♡",
    const std::string tail = "\"\xE6\xB0\x8F\xE5\x90\x8D\",\"\xE9\x9D\x92\xE6\x9C\xA8\xE3\x80\x80\xE7\xB4\x94\","
                             "\"&HFF\"\r\n";  // "氏名","青木　純","&HFF"
    EXPECT_EQ(r.bytes.substr(0, head.size()), head);
    EXPECT_EQ(r.bytes.substr(r.bytes.size() - tail.size()), tail);
    const DataSetContents back = ReadDataSet(r.bytes);
    EXPECT_EQ(back.encoding, DataSetEncoding::Utf8);
    ASSERT_EQ(back.entries.size(), 2u);
    EXPECT_EQ(back.entries[0], entries[0]);
    EXPECT_EQ(back.entries[1].text, L"青木　純");
    // Without the last entry that needed it, the file is code page 932 again, as before.
    EXPECT_EQ(EncodeDataSet({entries[1]}, ColourForm::Decimal).bytes,
              "\"" + Bytes({0x8E, 0x81, 0x96, 0xBC}) + "\",\"" + Bytes({0x90, 0xC2, 0x96, 0xD8, 0x81, 0x40, 0x8F, 0x83}) +
                  "\",255\r\n");
    // A record read from inside a code page 932 file can start with the mark's bytes; put first
    // and kept as it was, the file would read back as UTF-8.
    const DataSetContents inner = ReadDataSet("\"a\",\"b\",1\r\n\xEF\xBB\xBF,\"c\",2\r\n");
    EXPECT_FALSE(
        EncodeDataSet({inner.entries.at(1)}, ColourForm::Decimal, {&inner.stored.at(1)}).bytes.starts_with(kUtf8Mark));
    // Bytes that are no UTF-8 read as U+FFFD, and are written so.
    EXPECT_EQ(ParseDataSet("\xEF\xBB\xBF\"a\xC0\",\"\xED\xA0\x80\",1")[0],
              (Entry{L"a\uFFFD", L"\uFFFD\uFFFD\uFFFD", L"1"}));
}

TEST(DataSetFiles, AnEncodingSwitchKeepsUntouchedColoursAndNamesBytesItCannotCarry) {
    // As the entry editor hands them over: colours as decimal text, records as read.
    const std::string kept = "\"a\",\"b\",\"&HFFFFFF\"\r\n\"c\",\"\x8E\x81\",255\r\n";
    const DataSetContents read = ReadDataSet(kept + "\"x\x81 \",\"y\",\"&HFF\"\r\n");  // 0x81 0x20: no character
    std::vector<Entry> entries = read.entries;
    for (Entry& e : entries) e.colour = ColorValueToDecimalText(*ColorTextToValue(e.colour));
    entries.push_back({L"😊", L"", L"255"});
    const EncodeResult utf8 = EncodeDataSet(entries, ColourForm::Decimal, {&read.stored[0], &read.stored[1], &read.stored[2]});
    EXPECT_EQ(utf8.altered, std::vector<size_t>{2});
    const DataSetContents switched = ReadDataSet(utf8.bytes);
    ASSERT_EQ(switched.entries.size(), 4u);
    EXPECT_EQ(switched.entries[2].colour, L"&HFF");
    // Back without the emoji: what could be carried is as it was, byte for byte.
    const EncodeResult back = EncodeDataSet({switched.entries[0], switched.entries[1]}, ColourForm::Decimal,
                                            {&switched.stored[0], &switched.stored[1]});
    EXPECT_EQ(back.bytes, kept);
    EXPECT_TRUE(back.altered.empty());
}

TEST(OneFieldRecords, ColorDatAndPasswordFile) {
    auto colours = ParseOneFieldRecords(InitialColorDatBytes());
    ASSERT_EQ(colours.size(), 16u);
    EXPECT_EQ(colours[1], L"&HFFFFC0");
    EXPECT_EQ(colours[15], L"&H8000000F");
    EXPECT_EQ(ParseOneFieldRecords(PasswordFilePlainBytes(L"ぱす")), std::vector<std::wstring>{L"ぱす"});
    EXPECT_EQ(ParseOneFieldRecords("\"\"\r\n"), std::vector<std::wstring>{L""});
}
