#include "store/dataset_format.h"

#include "base/color.h"
#include "base/cp932.h"
#include "base/records.h"
#include "base/utf8.h"

#include <iterator>
#include <optional>

namespace {
constexpr const wchar_t* kWhite = L"&HFFFFFF";

bool IsHexText(std::wstring_view s) {
    return s.size() >= 2 && s[0] == L'&' && (s[1] == L'H' || s[1] == L'h');
}

bool Fits932(std::wstring_view s) { return ToCp932(s).has_value(); }

bool IsAscii(std::string_view b) {
    for (char c : b)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// A text field's bytes, or the index of the first character the file cannot hold.
std::optional<std::string> FieldBytes(std::wstring_view s, size_t& badIndex, DataSetEncoding enc) {
    size_t quote = s.find(L'"');
    size_t bad = s.size();
    auto bytes = enc == DataSetEncoding::Utf8 ? ToUtf8(s, &bad) : ToCp932(s, &bad);
    if (quote != std::wstring_view::npos && (bytes || quote < bad)) {
        badIndex = quote;
        return std::nullopt;
    }
    if (!bytes) {
        badIndex = bad;
        return std::nullopt;
    }
    return bytes;
}

// Whether a record that ends where its file ends reads the same with more behind it.
bool ClosedAtEnd(std::string_view record) {
    std::string probe(record);
    probe.push_back('"');
    RecordReader r(probe);
    r.ReadRecord(3);
    return r.Position() == record.size();
}

std::wstring Decode(std::string_view bytes, DataSetEncoding enc) {
    return enc == DataSetEncoding::Utf8 ? FromUtf8(bytes) : FromCp932(bytes);
}

std::optional<std::string> Encode(std::wstring_view s, DataSetEncoding enc) {
    return enc == DataSetEncoding::Utf8 ? ToUtf8(s) : ToCp932(s);
}

// A record written anew keeps the colour as it stood ("&H" text quoted, digits bare), so that
// an encoding switch does not touch it; empty when the record had no usable colour.
std::string ColourAsWritten(const std::string& field, int32_t value) {
    std::string trimmed = field;
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.pop_back();
    while (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.front() == '\t')) trimmed.erase(0, 1);
    const std::wstring wide(trimmed.begin(), trimmed.end());
    if (trimmed.empty() || ColorTextToValue(wide) != value) return {};
    if (!IsHexText(wide)) return trimmed;
    std::string quoted;
    AppendQuotedField(quoted, trimmed);
    return quoted;
}

DataSetContents Read(std::string_view bytes, bool keepRecords) {
    DataSetContents d;
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
        d.encoding = DataSetEncoding::Utf8;
        bytes.remove_prefix(kUtf8Mark.size());
    }
    RecordReader reader(bytes);
    while (!reader.AtEnd()) {
        const size_t start = reader.Position();
        auto record = reader.ReadRecord(3);
        d.entries.push_back({Decode(record[0], d.encoding), Decode(record[1], d.encoding), Decode(record[2], d.encoding)});
        if (!keepRecords) continue;
        const std::string_view raw = bytes.substr(start, reader.Position() - start);
        d.stored.push_back({std::string(raw), d.encoding, !reader.AtEnd() || ClosedAtEnd(raw)});
    }
    return d;
}
}  // namespace

DataSetContents ReadDataSet(std::string_view bytes) { return Read(bytes, true); }

std::vector<Entry> ParseDataSet(std::string_view bytes) { return Read(bytes, false).entries; }

std::vector<std::wstring> ParseOneFieldRecords(std::string_view bytes) {
    std::vector<std::wstring> fields;
    for (auto& record : ReadRecords(bytes, 1)) fields.push_back(FromCp932(record[0]));
    return fields;
}

DataSetEncoding EncodingFor(const std::vector<Entry>& entries) {
    for (const Entry& e : entries)
        if (!Fits932(e.caption) || !Fits932(e.text)) return DataSetEncoding::Utf8;
    return DataSetEncoding::Cp932;
}

EncodeResult EncodeDataSet(const std::vector<Entry>& entries, ColourForm form,
                           const std::vector<const StoredRecord*>& asRead) {
    EncodeResult result;
    const DataSetEncoding enc = EncodingFor(entries);
    std::string out(enc == DataSetEncoding::Utf8 ? kUtf8Mark : "");
    for (size_t r = 0; r < entries.size(); ++r) {
        const Entry& e = entries[r];
        const StoredRecord* kept = r < asRead.size() ? asRead[r] : nullptr;
        if (kept && (kept->encoding == enc || IsAscii(kept->bytes)) && (kept->closed || r + 1 == entries.size()) &&
            // a file in code page 932 must not start as if it had the mark
            !(r == 0 && enc == DataSetEncoding::Cp932 && kept->bytes.starts_with(kUtf8Mark))) {
            out += kept->bytes;
            continue;
        }
        auto fail = [&](int field, size_t index) {
            result.badRecord = r;
            result.badField = field;
            result.badCharIndex = index;
            result.altered.clear();
            return result;
        };
        size_t bad = 0;
        auto caption = FieldBytes(e.caption, bad, enc);
        if (!caption) return fail(0, bad);
        auto text = FieldBytes(e.text, bad, enc);
        if (!text) return fail(1, bad);
        auto value = ColorTextToValue(e.colour);
        if (!value) return fail(2, 0);

        std::string colour;
        if (kept) {
            RecordReader reader(kept->bytes);
            const auto raw = reader.ReadRecord(3);
            colour = ColourAsWritten(raw[2], *value);
            for (int f = 0; f < 2; ++f)
                if (Encode(Decode(raw[static_cast<size_t>(f)], kept->encoding), kept->encoding) !=
                    raw[static_cast<size_t>(f)]) {
                    result.altered.push_back(r);
                    break;
                }
        }

        AppendQuotedField(out, *caption);
        out.push_back(',');
        AppendQuotedField(out, *text);
        out.push_back(',');
        if (!colour.empty()) {
            out += colour;
        } else if (form == ColourForm::Decimal) {
            // Decimal digits are plain ASCII; no conversion can fail.
            std::wstring digits = ColorValueToDecimalText(*value);
            out.append(digits.begin(), digits.end());
        } else {
            std::wstring hex = IsHexText(e.colour) ? e.colour : ColorValueToHexText(*value);
            // Blanks allowed around the number are dropped so the quoted field stays exact.
            while (!hex.empty() && (hex.back() == L' ' || hex.back() == L'\t')) hex.pop_back();
            AppendQuotedField(out, std::string(hex.begin(), hex.end()));
        }
        out.append(kRecordEnd);
    }
    result.ok = true;
    result.badField = -1;
    result.bytes = std::move(out);
    return result;
}

std::string EncodeColorDat(const std::vector<int32_t>& colours) {
    std::string out;
    for (int32_t c : colours) {
        out += std::to_string(c);
        out.append(kRecordEnd);
    }
    return out;
}

std::vector<Entry> BlankEntries(int n) {
    return std::vector<Entry>(n > 0 ? static_cast<size_t>(n) : 0, Entry{L"", L"", kWhite});
}

std::vector<Entry> InitialPublicEntries() {
    std::vector<Entry> entries = BlankEntries(25);
    entries[0] = {L"氏名", L"青木　純", kWhite};
    entries[1] = {L"会社名", L"若葉商会", kWhite};
    return entries;
}

std::vector<Entry> InitialKaomojiEntries() {
    static const wchar_t* const kFaces[] = {
        L"(^-^)",   L"(^o^)",   L"(^-^)v",  L"f(^_^)", L"＼(^-^)／", L"＼(^o^)／", L"(∩.∩)",
        L"(＾v^)",  L"^-^;",    L"(^-^;",   L"(^o^;",  L"(ToT)",     L"(-_-#)",     L"( ^_^)／",
        L"(>_<)",   L"(+_+)",   L"(^ー^)/", L"(・・?)", L"(o^o^o)",  L"(*^^*)",
    };
    std::vector<Entry> entries = BlankEntries(25);
    for (size_t i = 0; i < std::size(kFaces); ++i) entries[i] = {kFaces[i], kFaces[i], kWhite};
    return entries;
}

std::string InitialColorDatBytes() {
    static const char* const kColours[] = {"&HFFFFFF", "&HFFFFC0", "&HC0FFFF", "&HC0C0FF", "&HC0FFC0"};
    std::string out;
    for (int i = 0; i < 16; ++i) {
        AppendQuotedField(out, i < 5 ? kColours[i] : "&H8000000F");
        out.append(kRecordEnd);
    }
    return out;
}

std::string PasswordFilePlainBytes(const std::wstring& password) {
    size_t bad = 0;
    auto bytes = FieldBytes(password, bad, DataSetEncoding::Cp932);
    if (!bytes) return {};
    std::string out;
    AppendQuotedField(out, *bytes);
    out.append(kRecordEnd);
    return out;
}
