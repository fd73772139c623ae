#include "store/dataset_check_logic.h"

namespace {

bool IsLead932(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsTrail932(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Parses one field at pos; quoted text or an unquoted (colour) value.
bool Field(std::string_view b, size_t& pos) {
    if (pos < b.size() && b[pos] == '"') {
        ++pos;
        while (pos < b.size() && b[pos] != '"') {
            unsigned char c = static_cast<unsigned char>(b[pos]);
            if (IsLead932(c)) {
                if (pos + 1 >= b.size() || !IsTrail932(static_cast<unsigned char>(b[pos + 1])))
                    return false;
                pos += 2;
                continue;
            }
            if (c < 0x20 && c != '\r' && c != '\n' && c != '\t') return false;
            if (c == 0x7F || c == 0x80 || c == 0xA0 || c >= 0xFD) return false;
            ++pos;
        }
        if (pos >= b.size()) return false;
        ++pos;  // closing quote
        return true;
    }
    size_t start = pos;
    while (pos < b.size() && b[pos] != ',' && b[pos] != '\r') {
        unsigned char c = static_cast<unsigned char>(b[pos]);
        bool ok = (c >= '0' && c <= '9') || c == '-' || c == '&' || c == 'H' || c == 'h' ||
                  (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f') || c == ' ';
        if (!ok) return false;
        ++pos;
    }
    return pos > start;
}

}  // namespace

bool IsWellFormedDataSet(std::string_view b) {
    size_t pos = 0;
    while (pos < b.size()) {
        for (int f = 0; f < 3; ++f) {
            if (!Field(b, pos)) return false;
            if (f < 2) {
                if (pos >= b.size() || b[pos] != ',') return false;
                ++pos;
            }
        }
        if (pos + 2 > b.size() || b[pos] != '\r' || b[pos + 1] != '\n') return false;
        pos += 2;
    }
    return true;
}
