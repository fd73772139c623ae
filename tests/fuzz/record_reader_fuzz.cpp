// Three jobs per input: raw bytes through the reader (no crash, sane shapes), what the reader
// returns through the writer (every record written back so that it reads equal, or refused
// with its row and field; a file written with its records as read comes out byte for byte),
// and an entry list built from the bytes through the writer and back (the same list must come
// out). The bytes are read as they are and again behind the UTF-8 mark.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/color.h"
#include "base/cp932.h"
#include "fuzz_check.h"
#include "base/records.h"
#include "store/dataset_check_logic.h"
#include "store/dataset_format.h"

namespace {

void ReadRaw(std::string_view bytes) {
    for (int fields = 1; fields <= 3; ++fields) {
        auto records = ReadRecords(bytes, fields);
        size_t total = 0;
        for (const auto& r : records) {
            Check(r.size() == static_cast<size_t>(fields));
            for (const auto& f : r) total += f.size();
        }
        Check(total <= bytes.size());
        // Each record consumes at least one byte.
        Check(records.size() <= bytes.size());
    }
    auto entries = ParseDataSet(bytes);
    for (const auto& e : entries) ColorTextToValue(e.colour);
    ParseOneFieldRecords(bytes);
}

bool SameColour(const std::wstring& back, const std::wstring& written) {
    auto v = ColorTextToValue(written);
    return back == written || (v && ColorTextToValue(back) == v);
}

std::wstring Trimmed(std::wstring s) {
    while (!s.empty() && (s.back() == L' ' || s.back() == L'\t')) s.pop_back();
    while (!s.empty() && (s.front() == L' ' || s.front() == L'\t')) s.erase(0, 1);
    return s;
}

// What cannot be stored: a double quote, or a surrogate without its partner.
bool Storable(const std::wstring& s) {
    for (size_t i = 0; i < s.size(); ++i) {
        const uint32_t c = static_cast<uint32_t>(s[i]);
        if (c == '"' || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return false;
    }
    return true;
}

void WriteBackWhatWasRead(std::string_view file) {
    const DataSetContents read = ReadDataSet(file);
    Check(read.entries.size() == read.stored.size());
    std::vector<const StoredRecord*> asRead;
    for (const auto& s : read.stored) asRead.push_back(&s);
    for (bool keep : {false, true}) {
        EncodeResult r = EncodeDataSet(read.entries, ColourForm::Decimal, keep ? asRead : std::vector<const StoredRecord*>{});
        if (keep && EncodingFor(read.entries) == read.encoding) {
            // Nothing changed and the encoding stays: the file comes out as it went in.
            Check(r.ok && r.bytes == file);
        }
        if (!r.ok) {
            Check(r.bytes.empty() && r.badRecord < read.entries.size() && r.badField >= 0 && r.badField <= 2);
            const Entry& e = read.entries[r.badRecord];
            if (r.badField == 2) Check(!ColorTextToValue(e.colour));
            else Check(!Storable(r.badField == 0 ? e.caption : e.text));
            continue;
        }
        const std::vector<Entry> back = ParseDataSet(r.bytes);
        Check(back.size() == read.entries.size());
        for (size_t k = 0; k < back.size(); ++k) {
            Check(back[k].caption == read.entries[k].caption && back[k].text == read.entries[k].text &&
                  SameColour(back[k].colour, read.entries[k].colour));
            // Records as read keep their colour text, whatever encoding they are written in.
            if (keep && ColorTextToValue(read.entries[k].colour)) Check(back[k].colour == Trimmed(read.entries[k].colour));
        }
    }
}

// Characters a user could type: some beyond code page 932 (©, ♡, an emoji, a combining
// mark), some the file cannot hold at all (the quote, half a surrogate pair).
const wchar_t kAlphabet[] = {L'a', L' ', L'\t', L',', L'\r', L'\n', L'"', L'\\', L'漢', L'ソ', L'ｱ',
                             L'＼', L'　', L'0', L'&', L'\u00A9', L'\u3000', L'ー', L'\0', L'\u00A5',
                             L'\f', L'\x1B', L'\x7F', L'\u2661', L'\U0001F60A', L'\u0301',
                             static_cast<wchar_t>(0xD800)};

std::vector<Entry> BuildEntries(std::string_view bytes, std::vector<int32_t>& colours) {
    std::vector<Entry> entries;
    size_t i = 0;
    auto next = [&]() -> uint8_t { return i < bytes.size() ? static_cast<uint8_t>(bytes[i++]) : 0; };
    while (i < bytes.size() && entries.size() < 64) {
        Entry e;
        for (std::wstring* field : {&e.caption, &e.text}) {
            size_t len = next() % 12;
            for (size_t k = 0; k < len; ++k) field->push_back(kAlphabet[next() % std::size(kAlphabet)]);
        }
        uint32_t c = static_cast<uint32_t>(next()) << 24 | static_cast<uint32_t>(next()) << 16 |
                     static_cast<uint32_t>(next()) << 8 | next();
        int32_t value = static_cast<int32_t>(c);
        colours.push_back(value);
        e.colour = (c & 1) ? ColorValueToHexText(value) : ColorValueToDecimalText(value);
        entries.push_back(std::move(e));
    }
    return entries;
}

void RoundTrip(std::string_view bytes) {
    std::vector<int32_t> colours;
    std::vector<Entry> entries = BuildEntries(bytes, colours);
    bool allOk = true, fits932 = true;
    for (const auto& e : entries) {
        allOk = allOk && Storable(e.caption) && Storable(e.text);
        fits932 = fits932 && ToCp932(e.caption) && ToCp932(e.text);
    }

    for (ColourForm form : {ColourForm::HexText, ColourForm::Decimal}) {
        EncodeResult r = EncodeDataSet(entries, form);
        Check(r.ok == allOk);
        if (!r.ok) {
            Check(r.bytes.empty() && r.badRecord < entries.size() && (r.badField == 0 || r.badField == 1));
            const std::wstring& f = r.badField == 0 ? entries[r.badRecord].caption : entries[r.badRecord].text;
            Check(r.badCharIndex < f.size() && !Storable(std::wstring(1, f[r.badCharIndex])));
            continue;
        }
        // Code page 932 while everything fits, else UTF-8 behind the mark.
        Check(r.bytes.starts_with(kUtf8Mark) == !fits932);
        // The wrong-key check must never take what the writer wrote for noise.
        Check(IsWellFormedDataSet(r.bytes));
        std::vector<Entry> back = ParseDataSet(r.bytes);
        Check(back.size() == entries.size());
        for (size_t k = 0; k < back.size(); ++k) {
            Check(back[k].caption == entries[k].caption);
            Check(back[k].text == entries[k].text);
            Check(ColorTextToValue(back[k].colour) == colours[k]);
            if (form == ColourForm::HexText) Check(back[k].colour == ColorValueToHexText(colours[k]) ||
                                                   back[k].colour == entries[k].colour);
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string marked = std::string(kUtf8Mark) + std::string(bytes);
    ReadRaw(bytes);
    ReadRaw(marked);
    WriteBackWhatWasRead(bytes);
    WriteBackWhatWasRead(marked);
    RoundTrip(bytes);
    return 0;
}
