#include "PanelSettings.h"

#include "HexStr.h"
#include "IniFile.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace PanelSettings {

QString defaultIniPath(const QString &currentDir)
{
    if (currentDir.endsWith(u'/') || currentDir.endsWith(u'\\'))
        return currentDir + FileName;
    return currentDir + u'/' + FileName;
}

QString iniPath(const QStringList &arguments, const QString &currentDir)
{
    // Reading from one file and saving to another would overwrite the saved settings with defaults, so a
    // switch without a file name falls back to the default file for both.
    if (arguments.size() > 2 && UpperCaseText(arguments.at(1)) == QStringLiteral("-F") && !arguments.at(2).isEmpty())
        return arguments.at(2);
    return defaultIniPath(currentDir);
}

std::optional<qint64> wholeNumber(const QString &text)
{
    if (!IsNumericText(text))
        return std::nullopt;
    const bool negative = text.startsWith(u'-');
    const QStringView digits = QStringView(text).sliced(negative ? 1 : 0);
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); }))
        return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (ok)
        return value;
    return negative ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
}

int positionFromOffset(const QString &text)
{
    const std::optional<qint64> offset = wholeNumber(text);
    if (!offset)
        return CentrePosition;
    const qint64 span = MaxPosition - CentrePosition;
    return CentrePosition + static_cast<int>(std::clamp<qint64>(*offset, -span, span));
}

bool ritFromShift(const QString &text)
{
    const QString upper = UpperCaseText(text);
    return upper == QStringLiteral("YES") || upper == QStringLiteral("TRUE") || upper == QStringLiteral("ON");
}

Track trackFromText(const QString &text)
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

QString offsetText(int position)
{
    return QString::number(position - CentrePosition);
}

QString shiftText(bool rit)
{
    return rit ? QStringLiteral("YES") : QStringLiteral("NOT");
}

QString trackText(Track track)
{
    return QString::number(static_cast<int>(track));
}

Stored read(const IniFile &file)
{
    const auto value = [&](const QString &key, const char *missing) {
        return QString::fromStdString(file.readString(Section.toStdString(), key.toStdString(), missing));
    };
    return {value(OffsetKey, "0"), value(ShiftKey, "YES"), value(TrackKey, "0")};
}

void write(IniFile &file, const Applied &applied)
{
    std::vector<std::pair<std::string, std::string>> keys{
        {OffsetKey.toStdString(), offsetText(applied.position).toStdString()},
        {ShiftKey.toStdString(), shiftText(applied.rit).toStdString()}};
    if (applied.track)
        keys.emplace_back(TrackKey.toStdString(), trackText(*applied.track).toStdString());
    file.writeStrings(Section.toStdString(), keys);
}

} // namespace PanelSettings
