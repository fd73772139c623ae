#pragma once
// Is a decrypted file really a data-set file? A wrong key gives random bytes.
#include <string_view>

// True when the bytes are a data-set file as the program writes it: every record three
// fields (quoted text, or unquoted colour digits) ended by CR LF, valid code page 932 inside
// the quotes, no control characters but CR and LF. An empty file counts. Decrypting with
// the wrong key gives random bytes, which fail this at once.
bool IsWellFormedDataSet(std::string_view bytes);
