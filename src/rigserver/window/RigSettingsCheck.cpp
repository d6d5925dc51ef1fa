#include "rigserver/window/RigSettingsCheck.h"

#include "rigserver/core/RigServerSettings.h"
#include "rigserver/core/RigSettings.h"
#include "rigserver/rigctld/RigctldAddress.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>

namespace RigSettingsCheck {
namespace {

// The rates a serial line is commonly run at; a model's range picks from these.
constexpr int CommonSpeeds[] = {50,   75,    110,   150,   300,    600,    1200,   2400,   4800,
                                9600, 19200, 38400, 57600, 115200, 230400, 460800, 500000, 921600};

bool hasControlCharacter(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

QString modelTitle(const RigModelCatalogue &models, int model)
{
    const RigModel *entry = models.find(model);
    return entry ? QString::fromStdString(entry->manufacturer + " " + entry->name) : QStringLiteral("This model");
}

FieldCheck devicePath(const QString &path)
{
    if (!QDir::isAbsolutePath(path))
        return FieldCheck::error(
            QStringLiteral("\"%1\" is not a device; serial ports are named like /dev/ttyUSB0.").arg(path));
    struct stat info {};
    const bool unknown = ::stat(QFile::encodeName(path).constData(), &info) != 0;
    if (unknown && errno == ENOENT) {
        // The radio may simply be unplugged or switched off; the rig keeps trying to open it.
        return FieldCheck::warning(
            QStringLiteral("%1 is not there now (radio unplugged?). It is saved, and used once it appears.").arg(path));
    }
    if (unknown || !S_ISCHR(info.st_mode))
        return FieldCheck::error(QStringLiteral("%1 is not a device.").arg(path));
    return {};
}

} // namespace

RigModel::Port portKind(const RigModelCatalogue &models, int model)
{
    if (model == RigSettings::RigctldModel)
        return RigModel::Port::Network;
    const RigModel *entry = models.find(model);
    return entry ? entry->port : RigModel::Port::None;
}

std::vector<int> supportedSpeeds(const RigModelCatalogue &models, int model)
{
    const RigModel *entry = models.find(model);
    if (!entry || entry->port != RigModel::Port::Serial || entry->serialRateMax <= 0)
        return {};
    std::vector<int> speeds{entry->serialRateMin, entry->serialRateMax};
    for (const int speed : CommonSpeeds)
        if (speed > entry->serialRateMin && speed < entry->serialRateMax)
            speeds.push_back(speed);
    std::sort(speeds.begin(), speeds.end());
    speeds.erase(std::unique(speeds.begin(), speeds.end()), speeds.end());
    return speeds;
}

FieldCheck model(const RigModelCatalogue &models, int model)
{
    if (model == RigSettings::NoRig || models.find(model))
        return {};
    return FieldCheck::error(QStringLiteral("Hamlib does not know model %1. Choose a radio from the list.").arg(model));
}

FieldCheck port(const RigModelCatalogue &models, int model, const QString &port)
{
    if (hasControlCharacter(port))
        return FieldCheck::error(QStringLiteral("The port must be one line of text."));
    switch (portKind(models, model)) {
    case RigModel::Port::None:
    case RigModel::Port::Usb:
    case RigModel::Port::Other:
        return {};
    case RigModel::Port::Network: {
        std::string host;
        std::string service;
        const bool blank = std::any_of(port.begin(), port.end(), [](QChar c) { return c.isSpace(); });
        if (!blank && RigctldAddress::splitHostPort(port.toStdString(), host, service))
            return {};
        return FieldCheck::error(
            QStringLiteral("\"%1\" is not host:port. Type it like localhost:4532 or [::1]:4532.").arg(port));
    }
    case RigModel::Port::Serial:
        if (port.isEmpty())
            return FieldCheck::error(QStringLiteral("Choose the serial port the radio is connected to."));
        return devicePath(port);
    case RigModel::Port::Device:
        return port.isEmpty() ? FieldCheck{} : devicePath(port);
    }
    return {};
}

FieldCheck speed(const RigModelCatalogue &models, int model, int speed)
{
    if (speed == 0 || portKind(models, model) != RigModel::Port::Serial)
        return {};
    const std::vector<int> speeds = supportedSpeeds(models, model);
    if (std::find(speeds.begin(), speeds.end(), speed) != speeds.end())
        return {};
    if (speeds.empty())
        return FieldCheck::error(QStringLiteral("%1 has no serial speed to set.").arg(modelTitle(models, model)));
    return FieldCheck::error(QStringLiteral("%1 does not talk at %2 baud; choose %3 to %4.")
                                 .arg(modelTitle(models, model))
                                 .arg(speed)
                                 .arg(speeds.front())
                                 .arg(speeds.back()));
}

FieldCheck pollMs(int ms)
{
    if (ms >= RigServerSettings::MinPollMs && ms <= RigServerSettings::MaxPollMs)
        return {};
    return FieldCheck::error(
        QStringLiteral("Poll every %1 to %2 ms.").arg(RigServerSettings::MinPollMs).arg(RigServerSettings::MaxPollMs));
}

FieldCheck timeoutMs(int ms)
{
    if (ms >= RigServerSettings::MinTimeoutMs && ms <= RigServerSettings::MaxTimeoutMs)
        return {};
    return FieldCheck::error(QStringLiteral("Wait %1 to %2 ms for an answer.")
                                 .arg(RigServerSettings::MinTimeoutMs)
                                 .arg(RigServerSettings::MaxTimeoutMs));
}

FieldCheck conf(const QString &conf)
{
    if (hasControlCharacter(conf))
        return FieldCheck::error(QStringLiteral("The settings must be one line of text."));
    for (const QString &raw : conf.split(QLatin1Char(';'))) {
        const QString entry = raw.trimmed();
        if (entry.isEmpty())
            continue;
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        if (eq < 0)
            return FieldCheck::error(QStringLiteral("\"%1\" has no value: write name=value.").arg(entry));
        if (entry.left(eq).trimmed().isEmpty())
            return FieldCheck::error(QStringLiteral("\"%1\" has no name: write name=value.").arg(entry));
    }
    return {};
}

} // namespace RigSettingsCheck
