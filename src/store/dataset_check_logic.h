#pragma once
// Is a decrypted file really a data-set file? A wrong key gives random bytes.
#include <string_view>

// True when the bytes read as data-set records: three fields each, the caption and the text
// quoted, the colour quoted or bare (digits, "&H" and hex digits, or nothing), valid code
// page 932 inside the quotes (control characters, commas and line ends included), or valid
// UTF-8 when the file starts with the byte-order mark, records
// separated by line ends, with or without a line end after the last one and with any extra
// ones. Everything the program writes passes, and what the reader reads alike; an empty file
// counts. Random bytes, as a wrong key gives, fail at once.
bool IsWellFormedDataSet(std::string_view bytes);

// The older versions' format: two quoted fields per record (caption, text), no colour.
// An empty file is no such file.
bool IsTwoFieldDataSet(std::string_view bytes);

// Color.dat as the colour chooser reads it: each of the first 16 records (the ones it uses)
// is a colour, "&H" text or decimal, or empty. An empty file counts; noise does not.
bool IsColourList(std::string_view bytes);
