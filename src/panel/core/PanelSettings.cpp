#include "panel/core/PanelSettings.h"

#include "ini/IniFile.h"
#include "panel/core/HexStr.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace PanelSettings {

PathStyle nativePathStyle()
{
#ifdef _WIN32
    return PathStyle::Windows;
#else
    return PathStyle::Posix;
#endif
}

std::string defaultIniPath(const std::string &currentDir, PathStyle style)
{
    if (currentDir.ends_with('/') || currentDir.ends_with('\\'))
        return currentDir + std::string(FileName);
    return currentDir + (style == PathStyle::Windows ? '\\' : '/') + std::string(FileName);
}

std::string iniPath(const std::vector<std::string> &arguments, const std::string &currentDir, PathStyle style)
{
    // Reading from one file and saving to another would overwrite the saved settings with defaults, so a
    // switch without a file name falls back to the default file for both.
    if (arguments.size() > 2 && UpperCaseText(arguments[1]) == "-F" && !arguments[2].empty())
        return style == PathStyle::Windows ? UpperCaseText(arguments[2]) : arguments[2];
    return defaultIniPath(currentDir, style);
}

std::optional<std::int64_t> wholeNumber(std::string_view text)
{
    if (!IsNumericText(text))
        return std::nullopt;
    const bool negative = text.starts_with('-');
    const std::string_view digits = text.substr(negative ? 1 : 0);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    // Accumulated on the number's own side of zero, so the most negative value fits too.
    constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    for (const char c : digits) {
        const int digit = c - '0';
        if (negative) {
            if (value < (Min + digit) / 10)
                return Min;
            value = value * 10 - digit;
        } else {
            if (value > (Max - digit) / 10)
                return Max;
            value = value * 10 + digit;
        }
    }
    return value;
}

int positionFromOffset(std::string_view text)
{
    const std::optional<std::int64_t> offset = wholeNumber(text);
    if (!offset)
        return CentrePosition;
    const std::int64_t span = MaxPosition - CentrePosition;
    return CentrePosition + static_cast<int>(std::clamp<std::int64_t>(*offset, -span, span));
}

bool ritFromShift(std::string_view text)
{
    const std::string upper = UpperCaseText(text);
    return upper == "YES" || upper == "TRUE" || upper == "ON";
}

bool fastTrackFromText(std::string_view text)
{
    return ritFromShift(text);
}

Track trackFromText(std::string_view text)
{
    switch (wholeNumber(text).value_or(0)) {
    case 1:
        return Track::Rig1;
    case 2:
        return Track::Rig2;
    default:
        return Track::None;
    }
}

std::string offsetText(int position)
{
    return std::to_string(position - CentrePosition);
}

std::string shiftText(bool rit)
{
    return rit ? "YES" : "NOT";
}

std::string fastTrackText(bool on)
{
    return shiftText(on);
}

std::string trackText(Track track)
{
    return std::to_string(static_cast<int>(track));
}

Stored read(const IniFile &file)
{
    return {file.readString(Section, OffsetKey, "0"), file.readString(Section, ShiftKey, "YES"),
            file.readString(Section, TrackKey, "0"), file.find(Section, FastTrackKey)};
}

void write(IniFile &file, const Applied &applied)
{
    std::vector<std::pair<std::string, std::string>> keys{{std::string(OffsetKey), offsetText(applied.position)},
                                                          {std::string(ShiftKey), shiftText(applied.rit)}};
    if (applied.track)
        keys.emplace_back(std::string(TrackKey), trackText(*applied.track));
    if (applied.fastTrack)
        keys.emplace_back(std::string(FastTrackKey), fastTrackText(*applied.fastTrack));
    file.writeStrings(Section, keys);
}

} // namespace PanelSettings
