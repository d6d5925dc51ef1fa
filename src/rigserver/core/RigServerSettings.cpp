#include "rigserver/core/RigServerSettings.h"

#include "ini/IniFile.h"

#include <QDir>

namespace RigServerSettings {
namespace {

QString section(int rigNumber)
{
    return QStringLiteral("Rig%1").arg(rigNumber);
}

QString readText(const IniFile &file, const QString &sec, const QString &key, const std::string &fallback = {})
{
    return QString::fromStdString(file.readString(sec.toStdString(), key.toStdString(), fallback));
}

int readInt(const IniFile &file, const QString &sec, const QString &key, int fallback, int low, int high)
{
    bool ok = false;
    const int value = readText(file, sec, key).trimmed().toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

} // namespace

QString defaultPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/velkor/rigserver.ini");
}

RigSettings load(const IniFile &file, int rigNumber)
{
    const RigSettings defaults;
    const QString sec = section(rigNumber);
    RigSettings settings;
    settings.model = readInt(file, sec, QStringLiteral("Model"), defaults.model, 0, 1 << 30);
    settings.port = readText(file, sec, QStringLiteral("Port"), defaults.port).trimmed().toStdString();
    settings.speed = readInt(file, sec, QStringLiteral("Speed"), defaults.speed, 0, 10000000);
    settings.pollMs = readInt(file, sec, QStringLiteral("PollMs"), defaults.pollMs, MinPollMs, MaxPollMs);
    settings.timeoutMs =
        readInt(file, sec, QStringLiteral("TimeoutMs"), defaults.timeoutMs, MinTimeoutMs, MaxTimeoutMs);
    settings.enabled = readInt(file, sec, QStringLiteral("Enabled"), 1, 0, 1) == 1;
    settings.conf = readText(file, sec, QStringLiteral("Conf"), RigSettings::neededConf(settings.model)).toStdString();
    settings.share = readInt(file, sec, QStringLiteral("Share"), 0, 0, 1) == 1;
    settings.sharePort =
        readInt(file, sec, QStringLiteral("SharePort"), RigSettings::defaultSharePort(rigNumber), 1, 65535);
    const QString address = readText(file, sec, QStringLiteral("ShareAddress")).trimmed();
    settings.shareAddress = address.isEmpty() ? defaults.shareAddress : address.toStdString();
    return settings;
}

void save(IniFile &file, int rigNumber, const RigSettings &settings)
{
    // One replacement of the file, so a failed save never leaves a rig half old, half new.
    file.writeStrings(section(rigNumber).toStdString(), {{"Model", std::to_string(settings.model)},
                                                         {"Port", settings.port},
                                                         {"Speed", std::to_string(settings.speed)},
                                                         {"PollMs", std::to_string(settings.pollMs)},
                                                         {"TimeoutMs", std::to_string(settings.timeoutMs)},
                                                         {"Enabled", settings.enabled ? "1" : "0"},
                                                         {"Conf", settings.conf},
                                                         {"Share", settings.share ? "1" : "0"},
                                                         {"SharePort", std::to_string(settings.sharePort)},
                                                         {"ShareAddress", settings.shareAddress}});
}

} // namespace RigServerSettings
