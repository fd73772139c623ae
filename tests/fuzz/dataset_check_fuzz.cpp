// The check that tells decrypted entries from the noise a wrong key gives: what it takes the
// reader reads record for record and the writer can write again; more line ends at the end
// change nothing; a file that passes as both a three-field and a two-field file holds no
// entry but blank ones.
#include <vector>

#include "base/color.h"
#include "base/records.h"
#include "fuzz_check.h"
#include "store/dataset_check_logic.h"
#include "store/dataset_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool three = IsWellFormedDataSet(bytes), two = IsTwoFieldDataSet(bytes);
    const std::string longer = std::string(bytes) + "\r\n";
    Check(IsWellFormedDataSet(longer) == three);
    if (!bytes.empty()) Check(IsTwoFieldDataSet(longer) == two);
    if (three && two)  // only line ends: at most blank records
        for (const auto& record : ReadRecords(bytes, 3))
            for (const std::string& field : record) Check(field.empty());
    if (!three) return 0;

    std::vector<Entry> entries = ParseDataSet(bytes);
    for (Entry& e : entries) e.colour = ColorValueToDecimalText(ColorTextToValue(e.colour).value_or(0xFFFFFF));
    const EncodeResult again = EncodeDataSet(entries, ColourForm::Decimal);
    Check(again.ok && IsWellFormedDataSet(again.bytes) && ParseDataSet(again.bytes) == entries);
    return 0;
}
