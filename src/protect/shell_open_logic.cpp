#include "protect/shell_open_logic.h"

namespace shell_open {

Split SplitCommandLine(const std::wstring& commandLine,
                       const std::function<bool(const std::wstring&)>& findOnPath) {
    for (size_t at = commandLine.find(L' ', 1); at != std::wstring::npos;
         at = commandLine.find(L' ', at + 1)) {
        const std::wstring prefix = commandLine.substr(0, at);
        if (findOnPath && findOnPath(prefix)) return {prefix, commandLine.substr(at + 1)};
    }
    return {commandLine, L""};
}

}  // namespace shell_open
