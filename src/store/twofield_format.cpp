#include "store/twofield_format.h"

#include "base/cp932.h"
#include "base/records.h"
#include "store/dataset_check_logic.h"

std::optional<std::vector<Entry>> TwoFieldEntries(std::string_view bytes) {
    if (!IsTwoFieldDataSet(bytes)) return std::nullopt;
    std::vector<Entry> entries;
    for (auto& rec : ReadRecords(bytes, 2)) entries.push_back({FromCp932(rec[0]), FromCp932(rec[1]), L"&HFFFFFF"});
    return entries;
}
