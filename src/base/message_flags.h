#pragma once
// Message box flags as MessageBoxW takes them, for the logic that includes no <windows.h>.
#include <cstdint>

namespace msgbox {
constexpr uint32_t kOk = 0x0;
constexpr uint32_t kIconStop = 0x10;
constexpr uint32_t kIconExclamation = 0x30;
constexpr uint32_t kIconInformation = 0x40;
}  // namespace msgbox
