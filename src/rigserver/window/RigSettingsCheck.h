// RigSettingsCheck: whether one rig's settings can be saved, field by field, with the message the settings
// window shows beside a field. A warning is saved anyway; an error is not.
// Collaborations: the model catalogue it is given says what each model's port and speed are.
// Threads: any; reads the model catalogue and the file system, never a radio.
#pragma once

#include "rigserver/core/RigModelCatalogue.h"

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

// What the port setting of a model holds; None for no rig and for models the catalogue does not know.
RigModel::Port portKind(const RigModelCatalogue &models, int model);
// The baud rates a model can be set to, lowest first; empty for a model without a serial line.
std::vector<int> supportedSpeeds(const RigModelCatalogue &models, int model);

FieldCheck model(const RigModelCatalogue &models, int model);
FieldCheck port(const RigModelCatalogue &models, int model, const QString &port);
FieldCheck speed(const RigModelCatalogue &models, int model, int speed);
FieldCheck pollMs(int ms);
FieldCheck timeoutMs(int ms);
FieldCheck conf(const QString &conf);

} // namespace RigSettingsCheck
