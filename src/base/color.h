#pragma once
// Button colours: 32-bit values 0x00BBGGRR, or system colours with the top bit set.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// "&H"/"&h" followed by 1 to 8 hex digits (8 digits fill all 32 bits: "&H8000000F" ->
// -2147483633), else a signed decimal integer in the int32 range. Blanks around the number
// are allowed. nullopt when the text is not such a number.
std::optional<int32_t> ColorTextToValue(std::wstring_view s);

// Decimal digits with a leading '-' for negative values: 16777215, -2147483633.
std::wstring ColorValueToDecimalText(int32_t v);

// "&H" and upper-case hex digits without leading zeros: "&HFFFFFF", "&H8000000F", "&H0".
std::wstring ColorValueToHexText(int32_t v);
