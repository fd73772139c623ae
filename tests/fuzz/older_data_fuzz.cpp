// Data of versions before 2.0.1 (two quoted fields per record), converted once at start-up:
// exactly the files the check takes as such are converted, record for record, and the
// converted file can always be written and reads back as the same entries.
#include <vector>

#include "base/records.h"
#include "fuzz_check.h"
#include "store/dataset_check_logic.h"
#include "store/dataset_format.h"
#include "store/twofield_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto entries = TwoFieldEntries(bytes);
    Check(entries.has_value() == IsTwoFieldDataSet(bytes));
    if (!entries) return 0;
    Check(entries->size() == ReadRecords(bytes, 2).size());
    const EncodeResult converted = EncodeDataSet(*entries, ColourForm::HexText);
    Check(converted.ok && IsWellFormedDataSet(converted.bytes) && ParseDataSet(converted.bytes) == *entries);
    if (!entries->empty()) Check(!IsTwoFieldDataSet(converted.bytes));
    return 0;
}
