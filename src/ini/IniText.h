// IniText: finds and edits one key of an INI text held as raw bytes, so that an edit leaves every other
// byte (comments, CRLF, a byte-order mark, bytes that are not UTF-8) exactly as it was.
//
// Responsibilities: the private-profile reading rules (names compared without regard to case and
// surrounding blanks, ';' comments, the first of duplicate sections and keys wins, quotes stripped
// from a value); placing a new key after the last key of its section and a new section at the end.
// Names and values are UTF-8.
// Collaborations: IniFile reads and writes the file and hands the bytes here.
// Threads: any; pure functions.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace IniText {

// The value of key in the first section named section, or nothing when either is missing.
std::optional<std::string> find(std::string_view text, std::string_view section, std::string_view key);

// False when the names or the value would not read back as written: an empty name, a line break,
// a section name holding ']', a key holding '=' or starting with ';' or '['.
bool canStore(std::string_view section, std::string_view key, std::string_view value);

// text with key in section set to value; the names and value must pass canStore. Lines it adds end as the
// text's first line does, or with newLineEnd when the text has no line end yet (a new file).
std::string withValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value,
                      std::string_view newLineEnd);

// Whether two names are the same without regard to case: ASCII, Latin-1, Latin Extended-A, Greek and
// Cyrillic letters fold to lower case; other characters and bytes that are not UTF-8 compare as they are.
bool sameName(std::string_view a, std::string_view b);

} // namespace IniText
