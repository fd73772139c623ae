#pragma once
// Data-set files (MyData_1.dat, the plain MyData_2_2.dat, MyData_3.dat), Color.dat and the
// plain password file, as bytes. No file access here.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One record, one button. The colour stays text as read ("&HFFFFFF" or "16777215"); convert
// it with ColorTextToValue.
struct Entry {
    std::wstring caption, text, colour;
    bool operator==(const Entry&) const = default;
};

// How the colour is written: quoted "&H..." text (start-up, repair, blank rows), or unquoted
// decimal digits (the entry editor).
enum class ColourForm { HexText, Decimal };

// Three fields per record, until the end of the bytes; an empty input gives no entries.
std::vector<Entry> ParseDataSet(std::string_view bytes);

// One field per record: Color.dat and the plain password file.
std::vector<std::wstring> ParseOneFieldRecords(std::string_view bytes);

// ok == false: nothing may be written. Then badRecord (from 0) and badField (0 caption,
// 1 text, 2 colour) name the field, badCharIndex the first character in it that the file
// cannot hold: one without a CP932 form, or a double quote, which would end the field early.
// A colour that is no number is reported with badCharIndex 0. badField is -1 when the
// failure is not about a field (the file could not be written).
struct EncodeResult {
    bool ok = false;
    std::string bytes;
    size_t badRecord = 0;
    size_t badCharIndex = 0;
    int badField = -1;
};

// CR LF after each record, text fields in quotes, no BOM. HexText keeps a colour that is
// already "&H" text as it is and turns a decimal one into "&H" text; Decimal writes the
// value's decimal digits.
EncodeResult EncodeDataSet(const std::vector<Entry>& entries, ColourForm form);

// Color.dat as the colour chooser writes it: one unquoted decimal value per line.
std::string EncodeColorDat(const std::vector<int32_t>& colours);

// Initial contents.
std::vector<Entry> InitialPublicEntries();      // 氏名/青木　純, 会社名/若葉商会, 23 blank rows
std::vector<Entry> BlankEntries(int n = 25);     // "", "", "&HFFFFFF"
std::vector<Entry> InitialKaomojiEntries();     // 20 emoticons, 5 blank rows
std::string InitialColorDatBytes();             // 16 quoted "&H" colours

// The plain password file: a quote, the password in CP932, a quote, CR LF. Empty when the
// password cannot be stored (a character without a CP932 form, or a double quote).
std::string PasswordFilePlainBytes(const std::wstring& password);
