// Two jobs per input: raw bytes through the reader (no crash, sane shapes), and an entry list
// built from the bytes through the writer and back (the same list must come out).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/color.h"
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

// Characters a user could type, some the file cannot hold (quote, ©, emoji).
const wchar_t kAlphabet[] = {L'a', L' ', L'\t', L',', L'\r', L'\n', L'"', L'\\', L'漢', L'ソ', L'ｱ',
                             L'＼', L'　', L'0', L'&', L'\u00A9', L'\u3000', L'ー', L'\0', L'\u00A5',
                             L'\f', L'\x1B', L'\x7F'};

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

bool Representable(const std::wstring& s) {
    for (wchar_t c : s) {
        if (c == L'"' || c == L'\u00A9' || c == L'\u00A5') return false;
    }
    return true;
}

void RoundTrip(std::string_view bytes) {
    std::vector<int32_t> colours;
    std::vector<Entry> entries = BuildEntries(bytes, colours);
    bool allOk = true;
    for (const auto& e : entries) allOk = allOk && Representable(e.caption) && Representable(e.text);

    for (ColourForm form : {ColourForm::HexText, ColourForm::Decimal}) {
        EncodeResult r = EncodeDataSet(entries, form);
        Check(r.ok == allOk);
        if (!r.ok) {
            Check(r.bytes.empty() && r.badRecord < entries.size() && (r.badField == 0 || r.badField == 1));
            const std::wstring& f = r.badField == 0 ? entries[r.badRecord].caption : entries[r.badRecord].text;
            Check(r.badCharIndex < f.size() && !Representable(std::wstring(1, f[r.badCharIndex])));
            continue;
        }
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
    ReadRaw(bytes);
    RoundTrip(bytes);
    return 0;
}
