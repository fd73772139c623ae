#include "app/csv_import_logic.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>

#include "base/color.h"
#include "editor/entry_editor_logic.h"

namespace {

enum Column { kCaption, kText, kColour };

std::wstring FirstLine(const std::wstring& s) { return s.substr(0, s.find_first_of(L"\r\n")); }

// The column a header cell names, -1 for any other cell.
int ColumnNamed(std::wstring cell) {
    const size_t a = cell.find_first_not_of(L" \t\u3000"), b = cell.find_last_not_of(L" \t\u3000");
    cell = a == std::wstring::npos ? L"" : cell.substr(a, b - a + 1);
    for (wchar_t& c : cell) c = static_cast<wchar_t>(std::towlower(c));
    if (cell == L"見出し" || cell == L"caption") return kCaption;
    if (cell == L"内容" || cell == L"text") return kText;
    if (cell == L"色" || cell == L"colour" || cell == L"color") return kColour;
    return -1;
}

// Where each column stands, from the header row; false when the row names none. Columns of
// other names (a memo the user added in Excel) are left out.
bool HeaderColumns(const CsvRow& row, int (&at)[3]) {
    int found[3] = {-1, -1, -1};
    bool any = false;
    for (size_t f = 0; f < row.fields.size(); ++f) {
        const int c = ColumnNamed(row.fields[f]);
        if (c >= 0 && found[c] < 0) found[c] = static_cast<int>(f), any = true;
    }
    if (any) std::copy(found, found + 3, at);
    return any;
}

bool SameEntry(const Entry& a, const Entry& b) {
    return a.caption == b.caption && a.text == b.text && ColorTextToValue(a.colour) == ColorTextToValue(b.colour);
}

MergedSet KeepUnchanged(const DataSetContents& now, std::vector<Entry> entries) {
    MergedSet m{std::move(entries), {}};
    m.asRead.assign(m.entries.size(), nullptr);
    for (size_t i = 0; i < m.entries.size() && i < now.entries.size() && i < now.stored.size(); ++i) {
        if (!SameEntry(m.entries[i], now.entries[i])) continue;
        m.entries[i] = now.entries[i];
        m.asRead[i] = &now.stored[i];
    }
    return m;
}

}  // namespace

CsvImport EntriesFromCsv(std::string_view bytes) {
    CsvImport im;
    CsvRead read = ReadCsv(bytes);
    if (read.fault != CsvFault::None) {
        im.fault = read.fault;
        im.line = read.line;
        return im;
    }
    int at[3] = {kCaption, kText, kColour};
    size_t first = 0;
    if (!read.rows.empty() && HeaderColumns(read.rows[0], at)) {
        first = 1;
    } else {
        bool oneColumn = true;
        for (const CsvRow& r : read.rows) oneColumn = oneColumn && r.fields.size() == 1;
        if (oneColumn) at[kCaption] = -1, at[kText] = 0, at[kColour] = -1;
    }
    if (first >= read.rows.size()) {
        im.fault = CsvFault::NoRows;
        im.line = read.rows.empty() ? 1 : read.rows[0].line + 1;
        return im;
    }
    for (size_t r = first; r < read.rows.size(); ++r) {
        const CsvRow& row = read.rows[r];
        auto cell = [&row](int f) { return f >= 0 && static_cast<size_t>(f) < row.fields.size() ? row.fields[f] : L""; };
        Entry e;
        e.text = cell(at[kText]);
        const std::wstring caption = at[kCaption] < 0 ? FirstLine(e.text) : cell(at[kCaption]);
        if (caption.find(L'"') != std::wstring::npos || e.text.find(L'"') != std::wstring::npos) {
            im = CsvImport{};
            im.fault = CsvFault::QuoteInField;
            im.line = row.line;
            return im;
        }
        e.caption = editor::FitCaption(L"", 0, 0, FirstLine(caption));
        if (at[kCaption] >= 0 && e.caption != caption) ++im.captionsCut;
        auto colour = ReadCsvColour(cell(at[kColour]));
        if (!colour) ++im.coloursDefaulted;
        e.colour = ColorValueToDecimalText(colour.value_or(editor::kWhite));
        im.entries.push_back(std::move(e));
    }
    return im;
}

MergedSet Replaced(const DataSetContents& now, const std::vector<Entry>& imported) {
    return KeepUnchanged(now, imported);
}

MergedSet Appended(const DataSetContents& now, const std::vector<Entry>& imported) {
    size_t next = 0;
    for (size_t i = 0; i < now.entries.size(); ++i)
        if (!now.entries[i].caption.empty() || !now.entries[i].text.empty()) next = i + 1;
    std::vector<Entry> entries = now.entries;
    for (const Entry& e : imported) {
        if (next < entries.size()) entries[next] = e;
        else entries.push_back(e);
        ++next;
    }
    return KeepUnchanged(now, std::move(entries));
}

std::wstring CsvFileName(const std::wstring& exeName, DataSet set, int year, int month, int day) {
    wchar_t date[16];
    std::swprintf(date, 16, L"%04d%02d%02d", year, month, day);
    return exeName + L"_" + SetName(set) + L"_" + date + L".csv";
}

std::wstring PreviewLine(const Entry& e) { return e.caption + L"\t" + FirstLine(e.text); }
