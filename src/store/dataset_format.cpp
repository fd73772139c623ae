#include "store/dataset_format.h"

#include "base/color.h"
#include "base/cp932.h"
#include "base/records.h"

#include <iterator>
#include <optional>

namespace {
constexpr const wchar_t* kWhite = L"&HFFFFFF";

bool IsHexText(std::wstring_view s) {
    return s.size() >= 2 && s[0] == L'&' && (s[1] == L'H' || s[1] == L'h');
}

// A text field's bytes, or the index of the first character the file cannot hold.
std::optional<std::string> FieldBytes(std::wstring_view s, size_t& badIndex) {
    size_t quote = s.find(L'"');
    size_t bad = s.size();
    auto bytes = ToCp932(s, &bad);
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
}  // namespace

std::vector<Entry> ParseDataSet(std::string_view bytes) {
    std::vector<Entry> entries;
    for (auto& record : ReadRecords(bytes, 3)) {
        entries.push_back({FromCp932(record[0]), FromCp932(record[1]), FromCp932(record[2])});
    }
    return entries;
}

std::vector<std::wstring> ParseOneFieldRecords(std::string_view bytes) {
    std::vector<std::wstring> fields;
    for (auto& record : ReadRecords(bytes, 1)) fields.push_back(FromCp932(record[0]));
    return fields;
}

EncodeResult EncodeDataSet(const std::vector<Entry>& entries, ColourForm form) {
    EncodeResult result;
    std::string out;
    for (size_t r = 0; r < entries.size(); ++r) {
        const Entry& e = entries[r];
        auto fail = [&](int field, size_t index) {
            result.badRecord = r;
            result.badField = field;
            result.badCharIndex = index;
            return result;
        };
        size_t bad = 0;
        auto caption = FieldBytes(e.caption, bad);
        if (!caption) return fail(0, bad);
        auto text = FieldBytes(e.text, bad);
        if (!text) return fail(1, bad);
        auto value = ColorTextToValue(e.colour);
        if (!value) return fail(2, 0);

        AppendQuotedField(out, *caption);
        out.push_back(',');
        AppendQuotedField(out, *text);
        out.push_back(',');
        if (form == ColourForm::Decimal) {
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
    auto bytes = FieldBytes(password, bad);
    if (!bytes) return {};
    std::string out;
    AppendQuotedField(out, *bytes);
    out.append(kRecordEnd);
    return out;
}
