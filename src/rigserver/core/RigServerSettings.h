// Where the rig server keeps its settings, and how a rig's settings are read from and written to that
// file: sections [Rig1] and [Rig2], keys Model, Port, Speed, PollMs, TimeoutMs, Enabled, Conf, and Share,
// SharePort, ShareAddress for sharing the rig with other programs (off; 4532 for Rig1, 4533 for Rig2;
// 127.0.0.1).
// A missing file or key gives the default (Hamlib's Dummy rig); a value that is not a number, or out of
// range, gives the default too, so a broken file never stops the server.
#pragma once

#include "rigserver/core/RigSettings.h"

#include <QString>

class IniFile;

namespace RigServerSettings {

inline constexpr int MinPollMs = 50;
inline constexpr int MaxPollMs = 60000;
inline constexpr int MinTimeoutMs = 100;
inline constexpr int MaxTimeoutMs = 60000;

// velkor/rigserver.ini under $XDG_CONFIG_HOME, else under ~/.config.
QString defaultPath();

RigSettings load(const IniFile &file, int rigNumber);
// Throws IniWriteError.
void save(IniFile &file, int rigNumber, const RigSettings &settings);

} // namespace RigServerSettings
