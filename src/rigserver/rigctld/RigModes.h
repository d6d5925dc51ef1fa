// The mapping between OmniRig's mode flags and Hamlib's mode names ("USB", "PKTUSB" ...), which are also
// the tokens of the rigctld protocol. Modes OmniRig has no flag for read as 0; 0 or an unknown flag maps to
// no name, so nothing is sent to the radio.
#pragma once

#include <cstdint>
#include <string_view>

namespace RigModes {

// The OmniRig flag for a Hamlib mode name, or 0.
std::int32_t flagFromName(std::string_view hamlibName);

// The Hamlib mode name for one OmniRig mode flag, or an empty view.
std::string_view nameFromFlag(std::int32_t flag);

} // namespace RigModes
