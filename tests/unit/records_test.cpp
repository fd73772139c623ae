#include "base/records.h"

#include <gtest/gtest.h>

using Records = std::vector<std::vector<std::string>>;

TEST(ReadRecords, QuotedFieldsKeepCommasAndLineEnds) {
    EXPECT_EQ(ReadRecords("\"a,b\",\"line1\r\nline2\",\"&HFFFFFF\"\r\n", 3),
              (Records{{"a,b", "line1\r\nline2", "&HFFFFFF"}}));
    EXPECT_EQ(ReadRecords("\"\",\"\",\"&HFFFFFF\"\r\n\"x\",\"\",16777215\r\n", 3),
              (Records{{"", "", "&HFFFFFF"}, {"x", "", "16777215"}}));
}

TEST(ReadRecords, UnquotedFieldsAreTrimmedAndEndAtCommaOrLineEnd) {
    EXPECT_EQ(ReadRecords("  abc  ,\t-5 ,  16777215  \r\n", 3), (Records{{"abc", "-5", "16777215"}}));
    EXPECT_EQ(ReadRecords("a,b,c\nd,e,f\rg,h,i", 3), (Records{{"a", "b", "c"}, {"d", "e", "f"}, {"g", "h", "i"}}));
    // Anything after a closing quote up to the next comma or line end is dropped.
    EXPECT_EQ(ReadRecords("\"a\"xyz,\"b\" ,\"c\"junk\r\n", 3), (Records{{"a", "b", "c"}}));
}

TEST(ReadRecords, EndOfFileRules) {
    EXPECT_TRUE(ReadRecords("", 3).empty());
    // No CR LF after the last record.
    EXPECT_EQ(ReadRecords("\"a\",\"b\",\"c\"", 3), (Records{{"a", "b", "c"}}));
    // One extra line end gives one more record of empty fields.
    EXPECT_EQ(ReadRecords("\"a\",\"b\",\"c\"\r\n\r\n", 3), (Records{{"a", "b", "c"}, {"", "", ""}}));
    // A record cut short by the end of the file: the missing fields are empty.
    EXPECT_EQ(ReadRecords("\"a\",\"b", 3), (Records{{"a", "b", ""}}));
    EXPECT_EQ(ReadRecords("\r\n", 1), (Records{{""}}));
    EXPECT_EQ(ReadRecords(" ", 2), (Records{{"", ""}}));
}

TEST(ReadRecords, LineEndsBeforeARecordAreSkipped) {
    EXPECT_EQ(ReadRecords("\r\n\r\n  \"a\",\"b\",\"c\"\r\n", 3), (Records{{"a", "b", "c"}}));
    // Inside a record they end a field instead: a short record takes its last field from the
    // next line.
    EXPECT_EQ(ReadRecords("\"a\",\"b\"\r\n\"c\",\"d\",\"e\"\r\n", 3), (Records{{"a", "b", "c"}, {"d", "e", ""}}));
}

TEST(ReadRecords, ShiftJisTrailBytesAreNotDelimiters) {
    // ソ is 83 5C, 表 is 95 5C: the trail byte is the backslash, never a delimiter.
    std::string so = "\x83\x5C";
    EXPECT_EQ(ReadRecords("\"" + so + "\"," + so + ",\"x\"\r\n", 3), (Records{{so, so, "x"}}));
}

TEST(ReadRecords, OneFieldPerRecord) {
    EXPECT_EQ(ReadRecords("\"&HFFFFFF\"\r\n16777215\r\n\"pw\"\r\n", 1),
              (Records{{"&HFFFFFF"}, {"16777215"}, {"pw"}}));
}

TEST(RecordReader, FieldsCanBeReadOneByOne) {
    RecordReader r("\"a\",b\r\n\"c\"");
    EXPECT_FALSE(r.AtEnd());
    EXPECT_EQ(r.ReadField(), "a");
    EXPECT_EQ(r.ReadField(), "b");
    EXPECT_EQ(r.ReadField(), "c");
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(r.ReadField(), "");
}
