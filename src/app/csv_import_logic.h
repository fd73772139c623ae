#pragma once
// What a CSV file brings into a data set, before anything is written: its entries with the
// captions cut as the entry editor cuts them and the colours it could not read made white,
// and the set they make with the current one, replaced or appended to.
#include <string>
#include <string_view>
#include <vector>

#include "base/data_set.h"
#include "store/csv_format.h"
#include "store/dataset_format.h"

struct CsvImport {
    std::vector<Entry> entries;  // colours as decimal text, as the entry editor writes them
    int captionsCut = 0;
    int coloursDefaulted = 0;
    CsvFault fault = CsvFault::None;
    size_t line = 0;
};
// A first row that names columns (見出し/内容/色 or caption/text/colour/color, any case) says which
// column is which, others left out; without one they are caption, text, colour, and a single
// column is the text. Without a caption column the caption is the text's first line.
CsvImport EntriesFromCsv(std::string_view bytes);

// The set to write, and for each entry the record it keeps from the current file (null for a
// new one): an entry equal to the one at its place is written with the bytes it was read from,
// so that exporting and replacing gives the file back byte for byte.
struct MergedSet {
    std::vector<Entry> entries;
    std::vector<const StoredRecord*> asRead;
};
MergedSet Replaced(const DataSetContents& now, const std::vector<Entry>& imported);
// The imported entries take the places after the last entry with a caption or a text.
MergedSet Appended(const DataSetContents& now, const std::vector<Entry>& imported);

// <exe>_<set>_<yyyymmdd>.csv; set 1 Public, 2 Private, 3 顔文字.
std::wstring CsvFileName(const std::wstring& exeName, DataSet set, int year, int month, int day);
// The preview's line of an entry: the caption, a tab and the first line of the text.
std::wstring PreviewLine(const Entry& e);
