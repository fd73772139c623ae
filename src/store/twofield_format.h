#pragma once
// The data-set files of versions before 2.0.1: two quoted fields per record (caption, text).
#include <optional>
#include <string_view>
#include <vector>

#include "store/dataset_format.h"

// The records of such a file, each with the white colour "&HFFFFFF" added; nullopt when the
// bytes are no such file.
std::optional<std::vector<Entry>> TwoFieldEntries(std::string_view bytes);
