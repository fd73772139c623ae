#pragma once
// A data set as a CSV file for Excel and back, as bytes. Written: UTF-8 after the mark (Excel
// reads a file without it as Shift_JIS), CR LF, a header row, RFC 4180 quoting, colours as
// #RRGGBB. Read: UTF-8 with or without the mark, or code page 932, told apart by the bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/dataset_format.h"

// nullopt only when a text holds what UTF-8 cannot carry.
std::optional<std::string> EncodeCsv(const std::vector<Entry>& entries);

// A data file's colour text as a cell: #RRGGBB for a plain colour; a system colour (top bit
// set) keeps the data files' "&H" form, which #RRGGBB cannot carry; no colour at all as it is.
std::wstring CsvColour(const std::wstring& colourText);
// #RRGGBB, RRGGBB, the data files' &H… (a trailing & allowed), any case; empty is white.
std::optional<int32_t> ReadCsvColour(std::wstring_view cell);

enum class CsvFault { None, Empty, Binary, UnclosedQuote, AfterQuote, NoRows, QuoteInField };
// The reason as the refusal shows it after "N 行目: ".
std::wstring CsvFaultText(CsvFault fault);

struct CsvRow {
    std::vector<std::wstring> fields;
    size_t line = 0;  // where the row starts, from 1
};
struct CsvRead {
    std::vector<CsvRow> rows;
    CsvFault fault = CsvFault::None;
    size_t line = 0;  // of the fault: for an unclosed quote, the line it opened on
};
// Records end with CR LF, LF or CR; inside quotes a lone LF or CR becomes CR LF (Excel keeps
// a cell's line break as LF), as the data files hold line breaks. A line end at the end of the
// file makes no row.
CsvRead ReadCsv(std::string_view bytes);
