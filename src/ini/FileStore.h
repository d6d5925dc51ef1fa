// FileStore: whole-file reads and crash-safe whole-file replacement for the INI accessor.
//
// Responsibilities: a replace goes to a temporary file in the target's folder, is flushed to the disk,
// takes the old file's permission bits and owner, and is renamed over the target, so that a crash at
// any moment leaves the old file or the new one, never a mix; a failed replace removes its temporary
// file and leaves the target untouched. The temporary file has no name until just before its rename
// where the file system allows (O_TMPFILE), so a writer killed mid-write leaves nothing; the rare named one
// that a crash leaves is removed by a later replace. The rename gives the file a new inode: hard links
// to the old file keep the old content; a replace that would change nothing does not happen at all.
// Paths are in the file system's own encoding (UTF-8 on Windows).
// Collaborations: IniFile. FileStore_posix.cpp and FileStore_win.cpp implement it; the build picks one.
// FileStore.cpp holds what both share.
// Threads: any; no state.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace FileStore {

enum class ReadOutcome { Read, Missing, Failed };

// Reads the whole regular file at path into bytes. Missing means that nothing exists there yet;
// Failed (a directory, a device, no permission, a read error, a file over 256 MiB) means the content
// could not be had.
ReadOutcome read(const std::string &path, std::string &bytes);

// Whether the file at path holds exactly bytes.
bool holds(const std::string &path, const std::string &bytes);

// The file that path finally names after following symbolic links (it may not exist yet), or nothing
// when the links loop.
std::optional<std::string> resolveLinks(const std::string &path);

// Replaces the regular file at path (no link) with bytes, creating it when missing. A file that holds these
// bytes already is left as it is (its inode, hard links and extended attributes with it), once it has passed
// the same read-only check. False when the bytes did not reach the disk, or the file is read-only (no write
// permission, or no write bit at all, which holds for root too); then nothing has changed.
bool replace(const std::string &path, const std::string &bytes);

// The line end of a text file made on this platform: CRLF on Windows, LF elsewhere.
std::string_view newLineEnd();

} // namespace FileStore
