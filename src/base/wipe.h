#pragma once
// Wiping a secret before its memory goes back: a Private text or a password must not stay
// readable in freed memory.
#include <string>

namespace wipe {

template <class Char>
void Clear(std::basic_string<Char>& s) {
    // Through a volatile pointer, so the stores are not dropped as dead.
    volatile Char* p = s.data();
    for (size_t i = 0; i < s.capacity(); ++i) p[i] = Char{};
    s.clear();
}

}  // namespace wipe
