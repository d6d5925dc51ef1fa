#include "rigserver/rigctld/RigModes.h"

#include "omnirig/OmniRig_TLB.h"

#include <array>
#include <utility>

namespace RigModes {
namespace {

constexpr std::array<std::pair<std::int32_t, std::string_view>, 8> table = {{
    {OmniRig::PM_CW_U, "CW"},
    {OmniRig::PM_CW_L, "CWR"},
    {OmniRig::PM_SSB_U, "USB"},
    {OmniRig::PM_SSB_L, "LSB"},
    {OmniRig::PM_DIG_U, "PKTUSB"},
    {OmniRig::PM_DIG_L, "PKTLSB"},
    {OmniRig::PM_AM, "AM"},
    {OmniRig::PM_FM, "FM"},
}};

// The rig worker sends a mode write for exactly OmniRig's mode flags (RigWorker::writableMode): each of them
// needs a name here.
constexpr bool namesEveryModeFlag()
{
    std::int32_t named = 0;
    for (const auto &[flag, name] : table)
        named |= flag;
    return named == OmniRig::PM_MODES;
}
static_assert(namesEveryModeFlag());

} // namespace

std::int32_t flagFromName(std::string_view hamlibName)
{
    for (const auto &[flag, name] : table)
        if (name == hamlibName)
            return flag;
    return 0;
}

std::string_view nameFromFlag(std::int32_t flag)
{
    for (const auto &[f, name] : table)
        if (f == flag)
            return name;
    return {};
}

} // namespace RigModes
