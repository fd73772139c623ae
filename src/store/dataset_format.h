#pragma once
// Data-set files (MyData_1.dat, the plain MyData_2_2.dat, MyData_3.dat), Color.dat and the
// plain password file, as bytes. No file access here.
//
// A data-set file is in code page 932 as long as every caption and text has a form there;
// one that holds any other character is written as UTF-8 after a byte-order mark, and the
// reader tells the two apart by that mark. Color.dat and the password file stay in code
// page 932.
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

enum class DataSetEncoding { Cp932, Utf8 };
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// A record as it stands in a file, kept so that a writer can put it back byte for byte.
struct StoredRecord {
    std::string bytes;  // from the end of the record before it (line ends between included)
    DataSetEncoding encoding = DataSetEncoding::Cp932;
    bool closed = false;  // reads the same whatever follows it (not cut off by the file's end)
};

// A data-set file as read: the entries, and for each the record it was read from.
struct DataSetContents {
    DataSetEncoding encoding = DataSetEncoding::Cp932;
    std::vector<Entry> entries;
    std::vector<StoredRecord> stored;
};
DataSetContents ReadDataSet(std::string_view bytes);

// Three fields per record, until the end of the bytes; an empty input gives no entries.
std::vector<Entry> ParseDataSet(std::string_view bytes);

// One field per record: Color.dat and the plain password file.
std::vector<std::wstring> ParseOneFieldRecords(std::string_view bytes);

// ok == false: nothing may be written. Then badRecord (from 0) and badField (0 caption,
// 1 text, 2 colour) name the field, badCharIndex the first character in it that the file
// cannot hold: a double quote, which would end the field early, or a surrogate without its
// partner. A colour that is no number is reported with badCharIndex 0. badField is -1 when
// the failure is not about a field (the file could not be written).
struct EncodeResult {
    bool ok = false;
    std::string bytes;
    size_t badRecord = 0;
    size_t badCharIndex = 0;
    int badField = -1;
    // Records given as read whose bytes the file's encoding could not carry (bytes that were no
    // character where they stood): written with what the reader made of them, so the user is
    // to be told before the bytes are written.
    std::vector<size_t> altered;
};

// The encoding the file takes for these entries.
DataSetEncoding EncodingFor(const std::vector<Entry>& entries);

// CR LF after each record, text fields in quotes. HexText keeps a colour that is already "&H"
// text as it is and turns a decimal one into "&H" text; Decimal writes the value's decimal
// digits. asRead, when given, holds for each entry the record it was read from if it is
// unchanged since (else null): such a record is written as it was wherever its bytes still
// fit (the same encoding or plain ASCII, and nothing of it cut off by the end of its file);
// where they do not, it is written anew with its colour text as it stood.
EncodeResult EncodeDataSet(const std::vector<Entry>& entries, ColourForm form,
                           const std::vector<const StoredRecord*>& asRead = {});

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
