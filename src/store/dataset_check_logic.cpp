#include "store/dataset_check_logic.h"

#include "base/color.h"
#include "base/cp932.h"
#include "base/utf8.h"
#include "store/dataset_format.h"

namespace {

bool IsTrail932(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }
// Single bytes that are no character of code page 932.
bool IsInvalid932(unsigned char c) { return c == 0x80 || c == 0xA0 || c >= 0xFD; }
bool IsColourChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f') || c == '&' ||
           c == 'H' || c == 'h' || c == '-' || c == '+' || c == ' ' || c == '\t';
}

class Checker {
public:
    Checker(std::string_view b, bool withColour, bool utf8 = false) : b_(b), withColour_(withColour), utf8_(utf8) {}

    bool File() {
        SkipLineEnds();
        while (pos_ < b_.size()) {
            if (!Record()) return false;
            if (pos_ < b_.size() && !IsLineEnd(b_[pos_])) return false;
            SkipLineEnds();
        }
        return true;
    }

private:
    static bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
    void SkipLineEnds() {
        while (pos_ < b_.size() && IsLineEnd(b_[pos_])) ++pos_;
    }
    void SkipBlanks() {
        while (pos_ < b_.size() && (b_[pos_] == ' ' || b_[pos_] == '\t')) ++pos_;
    }
    bool Comma() {
        SkipBlanks();
        if (pos_ >= b_.size() || b_[pos_] != ',') return false;
        ++pos_;
        return true;
    }
    // A quoted field: any character of code page 932 up to the closing quote, line ends,
    // commas and control characters included.
    bool Quoted(bool colour) {
        SkipBlanks();
        if (pos_ >= b_.size() || b_[pos_] != '"') return false;
        ++pos_;
        while (pos_ < b_.size() && b_[pos_] != '"') {
            unsigned char c = static_cast<unsigned char>(b_[pos_]);
            if (colour && !IsColourChar(b_[pos_])) return false;
            if (utf8_) {
                const size_t len = Utf8SequenceAt(b_, pos_);
                if (len == 0) return false;
                pos_ += len;
                continue;
            }
            if (IsLeadByte932(c)) {
                if (pos_ + 1 >= b_.size() || !IsTrail932(static_cast<unsigned char>(b_[pos_ + 1])))
                    return false;
                pos_ += 2;
                continue;
            }
            if (IsInvalid932(c)) return false;
            ++pos_;
        }
        if (pos_ >= b_.size()) return false;
        ++pos_;
        SkipBlanks();
        return true;
    }
    // The colour: quoted like a text, or bare digits, possibly none at all.
    bool Colour() {
        SkipBlanks();
        if (pos_ < b_.size() && b_[pos_] == '"') return Quoted(true);
        while (pos_ < b_.size() && !IsLineEnd(b_[pos_])) {
            if (!IsColourChar(b_[pos_])) return false;
            ++pos_;
        }
        return true;
    }
    bool Record() {
        return Quoted(false) && Comma() && Quoted(false) && (!withColour_ || (Comma() && Colour()));
    }

    std::string_view b_;
    bool withColour_;
    bool utf8_;
    size_t pos_ = 0;
};

}  // namespace

bool IsWellFormedDataSet(std::string_view b) {
    if (b.substr(0, kUtf8Mark.size()) == kUtf8Mark) return Checker(b.substr(kUtf8Mark.size()), true, true).File();
    return Checker(b, true).File();
}

bool IsTwoFieldDataSet(std::string_view b) { return !b.empty() && Checker(b, false).File(); }

bool IsColourList(std::string_view b) {
    const std::vector<std::wstring> records = ParseOneFieldRecords(b);
    for (size_t i = 0; i < records.size() && i < 16; ++i)
        if (!records[i].empty() && !ColorTextToValue(records[i])) return false;
    return true;
}
