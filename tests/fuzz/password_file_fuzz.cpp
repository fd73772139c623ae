// The plain password file: the reader takes exactly what the writer writes and nothing else,
// so a cut-off or foreign file is never taken for a password; and every password the writer
// stores reads back as itself, so Private is never locked away by its own password.
#include <optional>

#include "base/cp932.h"
#include "fuzz_check.h"
#include "store/dataset_format.h"
#include "store/passwordfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (const auto read = PasswordFrom(bytes)) Check(PasswordFilePlainBytes(*read) == bytes);

    const std::wstring typed = WideText(bytes, 64);
    const std::string written = PasswordFilePlainBytes(typed);
    const bool storable = typed.find(L'"') == std::wstring::npos && ToCp932(typed).has_value();
    Check(written.empty() != storable);
    if (storable) Check(PasswordFrom(written) == typed);
    return 0;
}
