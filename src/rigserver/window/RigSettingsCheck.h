// RigSettingsCheck: whether one rig's settings can be saved, field by field, with the message the settings
// window shows beside a field. A warning is saved anyway; an error is not.
// Threads: any; reads Hamlib's model list and the file system, never a radio.
#pragma once

#include "rigserver/backends/HamlibModels.h"

#include <QString>

#include <vector>

struct FieldCheck {
    enum Level { Ok, Warning, Error };

    Level level = Ok;
    QString message;

    static FieldCheck warning(QString text) { return {Warning, std::move(text)}; }
    static FieldCheck error(QString text) { return {Error, std::move(text)}; }
};

namespace RigSettingsCheck {

// What the port setting of a model holds; None for no rig and for models Hamlib does not know.
HamlibModel::Port portKind(int model);
// The baud rates a model can be set to, lowest first; empty for a model without a serial line.
std::vector<int> supportedSpeeds(int model);

FieldCheck model(int model);
FieldCheck port(int model, const QString &port);
FieldCheck speed(int model, int speed);
FieldCheck pollMs(int ms);
FieldCheck timeoutMs(int ms);
FieldCheck conf(const QString &conf);

} // namespace RigSettingsCheck
