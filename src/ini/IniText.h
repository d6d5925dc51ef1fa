// IniText: finds and edits one key of an INI text held as raw bytes, so that an edit leaves every other
// byte (comments, CRLF, a byte-order mark, bytes that are not UTF-8) exactly as it was.
//
// Responsibilities: the private-profile reading rules (names compared without regard to case and
// surrounding blanks, ';' comments, the first of duplicate sections and keys wins, quotes stripped
// from a value); placing a new key after the last key of its section and a new section at the end.
// Collaborations: IniFile reads and writes the file and hands the bytes here.
// Threads: any; pure functions.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace IniText {

// The value of key in the first section named section, or nothing when either is missing.
std::optional<QString> find(const QByteArray &text, const QString &section, const QString &key);

// False when the names or the value would not read back as written: an empty name, a line break,
// a section name holding ']', a key holding '=' or starting with ';' or '['.
bool canStore(const QString &section, const QString &key, const QString &value);

// text with key in section set to value; the names and value must pass canStore.
QByteArray withValue(const QByteArray &text, const QString &section, const QString &key, const QString &value);

} // namespace IniText
