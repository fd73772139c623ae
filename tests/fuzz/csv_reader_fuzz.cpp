// The CSV reader: any bytes are read or refused without a crash; what it takes, written as a
// CSV again, reads back as the same entries; and entries made from the bytes (as the editor
// could hold them) come through writing and reading unchanged.
#include <string>
#include <vector>

#include "app/csv_import_logic.h"
#include "editor/entry_editor_logic.h"
#include "fuzz_check.h"
#include "store/csv_format.h"

namespace {

void ReadBackSame(const std::vector<Entry>& entries) {
    const auto csv = EncodeCsv(entries);
    if (!csv) return;  // a surrogate without its partner: nothing to write
    const CsvImport again = EntriesFromCsv(*csv);
    Check(again.fault == CsvFault::None && again.captionsCut == 0 && again.coloursDefaulted == 0);
    Check(again.entries == entries);
}

// Fields split at U+0001, three to an entry; quotes and NULs (which no data file holds) left out.
std::vector<Entry> EntriesOf(const std::wstring& text) {
    std::vector<std::wstring> fields(1);
    for (wchar_t c : text) {
        if (c == 1) fields.emplace_back();
        else if (c != L'"' && c != 0) fields.back() += c;
    }
    std::vector<Entry> entries;
    for (size_t i = 0; i + 2 < fields.size(); i += 3) {
        const std::wstring caption = fields[i].substr(0, fields[i].find_first_of(L"\r\n"));
        const int32_t colour = static_cast<int32_t>(fields[i + 2].size() * 0x010203u);
        entries.push_back({editor::FitCaption(L"", 0, 0, caption), editor::NormaliseLineBreaks(fields[i + 1]),
                           std::to_wstring(colour)});
    }
    return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const CsvImport im = EntriesFromCsv(bytes);
    Check(im.fault == CsvFault::None ? im.line == 0 && !im.entries.empty() : im.line >= 1 && im.entries.empty());
    if (im.fault == CsvFault::None) ReadBackSame(im.entries);
    const std::vector<Entry> made = EntriesOf(WideText(bytes, 4096));
    if (!made.empty()) ReadBackSame(made);
    return 0;
}
