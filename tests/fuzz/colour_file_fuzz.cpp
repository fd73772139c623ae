// Color.dat as the colour chooser reads it: whatever the file holds, each swatch is its
// record's value where that is a number and stays white otherwise, and what the chooser
// writes back reads as the same swatches; restore's check of the file agrees with that reading.
#include <array>
#include <vector>

#include "base/color.h"
#include "editor/colour_chooser_logic.h"
#include "fuzz_check.h"
#include "store/dataset_check_logic.h"
#include "store/dataset_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::wstring> records = ParseOneFieldRecords(bytes);
    std::array<int32_t, editor::kSwatches> white;
    white.fill(editor::kSwatchDesignColour);
    const auto swatches = editor::SwatchColours(records, white);
    for (size_t i = 0; i < swatches.size(); ++i) {
        const auto v = i < records.size() ? ColorTextToValue(records[i]) : std::nullopt;
        Check(swatches[i] == v.value_or(editor::kSwatchDesignColour));
        if (v) Check(ColorTextToValue(ColorValueToDecimalText(*v)) == v && ColorTextToValue(ColorValueToHexText(*v)) == v);
    }
    // Restore's check takes the file exactly when the chooser passes over none of the records
    // it reads: a swatch kept from before though its record holds something.
    const auto onBlack = editor::SwatchColours(records, {});
    bool passedOver = false;
    for (size_t i = 0; i < swatches.size() && i < records.size(); ++i)
        passedOver = passedOver || (!records[i].empty() && swatches[i] == white[i] && onBlack[i] == 0);
    Check(IsColourList(bytes) == !passedOver);
    const std::string written = EncodeColorDat(std::vector<int32_t>(swatches.begin(), swatches.end()));
    Check(editor::SwatchColours(ParseOneFieldRecords(written), white) == swatches);
    return 0;
}
