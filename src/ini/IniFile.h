// IniFile: reads and writes an INI file with the semantics of Windows' private profile functions.
//
// Responsibilities: section and key names match without regard to case; of duplicate keys the first wins
// and is the one a write updates; a write keeps every other byte of the file (comments, unknown keys and
// sections, its line ends, a UTF-8 byte-order mark); the file is created on the first write, with the
// platform's line ends (CRLF on Windows, LF elsewhere), as is a line added to a file that has none yet; each
// write reaches the disk before it returns and replaces the file atomically (temporary file in the same
// folder, flushed, renamed over the old one), so a crash leaves either the old file or the new one. A write
// through a symbolic link replaces the link's target and keeps the file's permission bits; a link whose target does
// not exist is refused rather than followed to create a file. The replacement is a new file: hard links to
// the old one keep the old content.
// Names, values and the path are UTF-8 (the path in the file system's own encoding on POSIX).
// Threads: any; an IniFile holds no state but its path, so every call reads the file afresh.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A write that did not reach the file. what() is "Unable to write to <path>".
class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const std::string &path);
    const std::string &path() const { return m_path; }

private:
    std::string m_path;
};

class IniFile {
public:
    explicit IniFile(std::string path);

    const std::string &path() const { return m_path; }

    // The value of key in section, or defaultValue when the file, the section or the key is missing.
    std::string readString(std::string_view section, std::string_view key, std::string_view defaultValue = {}) const;
    // The value of key in section, or nothing when the file, the section or the key is missing.
    std::optional<std::string> find(std::string_view section, std::string_view key) const;

    // Sets key in section to value, adding the section or the key when missing. Throws IniWriteError when
    // the file cannot be written, and also for names or a value that would not read back as written (an
    // empty name, a line break, ']' in a section name, '=' in a key, a key starting with ';' or '[').
    void writeString(std::string_view section, std::string_view key, std::string_view value);

    // Sets several keys of one section in a single replacement of the file: either all of them reach the
    // file or none does. The same rules and errors as writeString.
    void writeStrings(std::string_view section, const std::vector<std::pair<std::string, std::string>> &keysAndValues);

private:
    std::string m_path;
};
