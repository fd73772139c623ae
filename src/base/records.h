#pragma once
// The quoted-field text format of the data files, at byte level. CP932 delimiters (quote,
// comma, CR, LF, space, tab) are all below 0x40 and never occur as trail bytes, so the bytes
// can be scanned without decoding.
#include <string>
#include <string_view>
#include <vector>

class RecordReader {
public:
    explicit RecordReader(std::string_view bytes);

    // True at the end of the input. Line ends are not skipped for this test, so one more
    // line end after the last record means one more (empty) record.
    bool AtEnd() const;

    // The next field of the current record: blanks skipped; a quoted field runs to the next
    // quote (commas and line ends included), then everything up to and including the next
    // comma or line end is dropped; an unquoted field runs to the next comma or line end,
    // which is consumed, and loses its surrounding blanks. At the end of the input: empty.
    std::string ReadField();

    // A whole record: line ends before its first field are skipped as well.
    std::vector<std::string> ReadRecord(int fieldsPerRecord);

    // Bytes read so far.
    size_t Position() const { return pos_; }

private:
    void SkipBlanks(bool lineEndsToo);
    void SkipLineEnd();  // one CR LF, CR or LF at the current position
    bool AtLineEnd() const;

    std::string_view bytes_;
    size_t pos_ = 0;
};

// Records until the end of the input, each with exactly fieldsPerRecord fields (at least 1).
std::vector<std::vector<std::string>> ReadRecords(std::string_view bytes, int fieldsPerRecord);

// Writers: a text field in quotes (nothing escaped; the caller keeps quotes out), and the
// record end.
void AppendQuotedField(std::string& out, std::string_view field);
inline constexpr std::string_view kRecordEnd = "\r\n";
