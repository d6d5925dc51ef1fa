// CaseMapping: upper and lower case of UTF-8 text without a toolkit, the same on every platform: ASCII,
// Latin-1, Latin Extended-A, Greek and Cyrillic letters change case; every other character, and every byte
// that is not UTF-8, stays as it is.
// Threads: any; pure functions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace CaseMapping {

// The character of text at pos and the number of bytes it takes. A byte that starts no valid UTF-8 sequence
// is a character of its own, 0x110000 + the byte, so that it matches only the same byte.
char32_t decode(std::string_view text, std::size_t pos, std::size_t &length);

char32_t lower(char32_t c);
char32_t upper(char32_t c);

// text with each character in upper case; bytes that are not UTF-8 are kept.
std::string toUpper(std::string_view text);

// Whether a and b are the same text without regard to case.
bool equalIgnoringCase(std::string_view a, std::string_view b);

} // namespace CaseMapping
