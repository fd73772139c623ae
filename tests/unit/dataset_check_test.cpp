#include <gtest/gtest.h>

#include <random>
#include <string>

#include "store/dataset_check_logic.h"

TEST(WellFormedDataSet, AcceptsWhatTheWritersProduce) {
    EXPECT_TRUE(IsWellFormedDataSet(""));
    // hexadecimal colour form, CP932 text (氏名 / 青木　純)
    EXPECT_TRUE(IsWellFormedDataSet("\"\x8E\x81\x96\xBC\",\"\x90\xC2\x96\xD8\x81\x40\x8F\x83\",\"&HFFFFFF\"\r\n"));
    // decimal colour form, empty fields, a negative system colour
    EXPECT_TRUE(IsWellFormedDataSet("\"\",\"\",16777215\r\n\"a\",\"b\",-2147483633\r\n"));
    // text with CR LF and commas inside the quotes
    EXPECT_TRUE(IsWellFormedDataSet("\"x\",\"line1\r\nline2, more\",\"&HFFFFFF\"\r\n"));
}

TEST(WellFormedDataSet, RejectsWhatAWrongKeyOrDamageGives) {
    EXPECT_FALSE(IsWellFormedDataSet("\"a\",\"b\",\"&HFFFFFF\""));          // no final CR LF
    EXPECT_FALSE(IsWellFormedDataSet("\"a\",\"b\"\r\n"));                    // two fields (older format)
    EXPECT_FALSE(IsWellFormedDataSet("\"a\",\"b\",\"&HFFFFFF\"\r\n\r\n"));   // extra line end
    EXPECT_FALSE(IsWellFormedDataSet(std::string("\"a\0\",\"b\",1\r\n", 11)));  // NUL inside
    EXPECT_FALSE(IsWellFormedDataSet("\"\x81\",\"b\",1\r\n"));              // lead byte without trail
    EXPECT_FALSE(IsWellFormedDataSet("\"a\",\"b\",zz\r\n"));                // not a colour
    // Random bytes, as decryption under another key gives, are never taken for records.
    std::mt19937 rng(7);
    for (int run = 0; run < 200; ++run) {
        std::string s(300, '\0');
        for (char& c : s) c = static_cast<char>(rng() & 0xFF);
        EXPECT_FALSE(IsWellFormedDataSet(s));
    }
}
