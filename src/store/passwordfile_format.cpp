// The password file's bytes, apart from its file access (so it is fuzzed natively).
#include "store/dataset_format.h"
#include "store/passwordfile.h"

// Anything but a quoted field and CR LF is a cut-off or foreign file; guessing a key from
// it would only lock Private away.
std::optional<std::wstring> PasswordFrom(const std::string& bytes) {
    auto fields = ParseOneFieldRecords(bytes);
    if (fields.size() != 1 || PasswordFilePlainBytes(fields[0]) != bytes) return std::nullopt;
    return fields[0];
}
