// PanelSettings: where the panel keeps its settings and how the keys of section "VE2Z" are read and
// written: the three that the panel's controls set, and "FASTTRACK", which only the operator sets.
// The rules are lenient on reading, so that a hand-edited or broken file gives defaults and
// never stops start-up, and strict on writing, so that the file always holds one of the written forms.
// Texts are UTF-8; paths are in the file system's own encoding.
// Threads: any.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniFile;

namespace PanelSettings {

inline constexpr std::string_view FileName = "VELKOR.INI";
inline constexpr std::string_view Section = "VE2Z";
inline constexpr std::string_view OffsetKey = "OFFSET";
inline constexpr std::string_view ShiftKey = "SHIFT";
inline constexpr std::string_view TrackKey = "TRACK";
inline constexpr std::string_view FastTrackKey = "FASTTRACK";

// The slider's range; its centre is offset zero.
inline constexpr int MinPosition = 0;
inline constexpr int CentrePosition = 2000;
inline constexpr int MaxPosition = 4000;

enum class Track { None = 0, Rig1 = 1, Rig2 = 2 };

// How the file system names files. Posix: case counts and "/" separates; a path named on the command line is
// taken as given. Windows: case does not count and a backslash separates; the named path is upper-cased, as the
// program has always done there.
enum class PathStyle { Posix, Windows };
// The style of the system the program was built for.
PathStyle nativePathStyle();

// arguments as the program got them, the program first. "-F" (in any case) as the first argument names the
// file in the second. Any other command line, and a "-F" without a file after it, gives the default path.
std::string iniPath(const std::vector<std::string> &arguments, const std::string &currentDir,
                    PathStyle style = nativePathStyle());
// VELKOR.INI in currentDir.
std::string defaultIniPath(const std::string &currentDir, PathStyle style = nativePathStyle());

// A whole number in decimal, with an optional leading minus; one too large for 64 bits counts as the
// largest of its sign, since every use clamps it anyway.
std::optional<std::int64_t> wholeNumber(std::string_view text);

// Slider position for an "OFFSET" text: offset + 2000 clamped to the range, 2000 for anything but a
// whole number.
int positionFromOffset(std::string_view text);
// Whether an "SHIFT" text switches the offset on: YES, TRUE or ON in any case.
bool ritFromShift(std::string_view text);
// Whether a "FASTTRACK" text switches fast tracking on, by the same rule as "SHIFT".
bool fastTrackFromText(std::string_view text);
// The tracking choice for a "TRACK" text; a text that is no whole number counts as 0.
Track trackFromText(std::string_view text);

std::string offsetText(int position);
std::string shiftText(bool rit);
std::string fastTrackText(bool on);
std::string trackText(Track track);

struct Stored {
    std::string offset;
    std::string shift;
    std::string track;
    // Nothing when the file has no "FASTTRACK": such a file is written without it.
    std::optional<std::string> fastTrack;
};

// The values, the three of the controls each with its default when missing.
Stored read(const IniFile &file);

// What a save writes: the controls as they stand.
struct Applied {
    int position = CentrePosition;
    bool rit = false;
    // Nothing when no tracking choice is selected.
    std::optional<Track> track;
    // Nothing while fast tracking has never been in the file and is off.
    std::optional<bool> fastTrack;
    bool operator==(const Applied &) const = default;
};

// OFFSET, SHIFT, then TRACK unless no tracking choice is selected, then FASTTRACK if it has a value, in one
// replacement of the file: all of them reach the file or none does. Throws IniWriteError.
void write(IniFile &file, const Applied &applied);

} // namespace PanelSettings
