#include "omnirig/OmniRig_TLB.h"

#include <array>

namespace OmniRig {

const char *paramName(int bit)
{
    static constexpr std::array<const char *, 31> names = {
        "UNKNOWN", "FREQ", "FREQA",    "FREQB",   "PITCH",   "RITOFFSET", "RIT0",  "VFOAA",  "VFOAB", "VFOBA",  "VFOBB",
        "VFOA",    "VFOB", "VFOEQUAL", "VFOSWAP", "SPLITON", "SPLITOFF",  "RITON", "RITOFF", "XITON", "XITOFF", "RX",
        "TX",      "CW",   "CW_R",     "USB",     "LSB",     "DIG",       "DIG_R", "AM",     "FM",
    };
    if (bit < 0 || bit >= static_cast<int>(names.size()))
        return "";
    return names[static_cast<std::size_t>(bit)];
}

const char *statusText(std::int32_t status)
{
    switch (status) {
    case ST_NOTCONFIGURED:
        return "Rig is not configured";
    case ST_DISABLED:
        return "Rig is disabled";
    case ST_PORTBUSY:
        return "Port is not available";
    case ST_NOTRESPONDING:
        return "Rig is not responding";
    case ST_ONLINE:
        return "On-line";
    default:
        return "";
    }
}

} // namespace OmniRig
