#include "panel/core/RigTransfer.h"

#include "panel/core/HexStr.h"

#include <limits>

namespace RigTransfer {
namespace {

bool online(IRigX &rig)
{
    return rig.Status() == OmniRig::ST_ONLINE;
}

// A rig that has not read its radio's frequency answers 0 Hz: copied, that would tune the other radio to
// the offset alone.
bool frequencyKnown(IRigX &rig)
{
    return rig.IsParamReadable(OmniRig::PM_FREQ);
}

} // namespace

std::optional<std::int64_t> shifted(std::int64_t hertz, std::int64_t offset)
{
    constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();
    if (offset > 0 ? hertz > Max - offset : hertz < Min - offset)
        return std::nullopt;
    const std::int64_t result = hertz + offset;
    if (result < 0)
        return std::nullopt;
    return result;
}

bool isNone(IRigX &rig)
{
    return UpperCaseText(rig.RigType()) == "NONE";
}

void copyAToB(IOmniRigX &server, int offset)
{
    IRigX &rig1 = *server.Rig1();
    IRigX &rig2 = *server.Rig2();
    if (!online(rig1) || !online(rig2))
        return;
    if (isNone(rig1) || isNone(rig2))
        return;
    if (!frequencyKnown(rig1))
        return;
    const std::optional<std::int64_t> freq = shifted(rig1.Freq(), offset);
    if (!freq)
        return;
    rig2.SetFreq(*freq);
    rig2.SetMode(rig1.Mode());
}

void copyBToA(IOmniRigX &server, int offset)
{
    IRigX &rig1 = *server.Rig1();
    IRigX &rig2 = *server.Rig2();
    if (isNone(rig1) || isNone(rig2))
        return;
    if (!online(rig1) || !online(rig2))
        return;
    if (!frequencyKnown(rig2))
        return;
    const std::optional<std::int64_t> freq = shifted(rig2.Freq(), -std::int64_t(offset));
    if (!freq)
        return;
    rig1.SetFreq(*freq);
    rig1.SetMode(rig2.Mode());
}

void swap(IOmniRigX &server, int offset)
{
    IRigX &rig1 = *server.Rig1();
    IRigX &rig2 = *server.Rig2();
    if (isNone(rig1) || isNone(rig2))
        return;
    if (!online(rig1) || !online(rig2))
        return;
    if (!frequencyKnown(rig1) || !frequencyKnown(rig2))
        return;
    const std::int64_t freq2 = rig2.Freq();
    const std::int32_t mode2 = rig2.Mode();
    const std::optional<std::int64_t> toRig1 = shifted(freq2, -std::int64_t(offset));
    if (!toRig1)
        return;
    const std::optional<std::int64_t> toRig2 = shifted(rig1.Freq(), offset);
    if (!toRig2)
        return;
    rig2.SetFreq(*toRig2);
    rig2.SetMode(rig1.Mode());
    rig1.SetFreq(*toRig1);
    rig1.SetMode(mode2);
}

void follow(IOmniRigX &server, IRigX *master, IRigX *follower, int offset)
{
    if (!master || !follower)
        return;
    if (isNone(*master) || isNone(*follower))
        return;
    if (!online(*master) || !online(*follower))
        return;
    if (!frequencyKnown(*master))
        return;
    // Rig2 = Rig1 + offset whichever rig leads.
    const std::int64_t delta = master == server.Rig1() ? offset : -std::int64_t(offset);
    const std::int64_t followerFreq = follower->Freq();
    const std::optional<std::int64_t> wanted = shifted(master->Freq(), delta);
    if (wanted && followerFreq == *wanted) {
        const std::int32_t followerMode = follower->Mode();
        if (followerMode == master->Mode())
            return;
    }
    const std::optional<std::int64_t> freq = shifted(master->Freq(), delta);
    if (!freq)
        return;
    follower->SetFreq(*freq);
    follower->SetMode(master->Mode());
}

} // namespace RigTransfer
