#include "panel/core/RigTransfer.h"

#include "panel/core/HexStr.h"

#include <limits>

namespace RigTransfer {
namespace {

bool online(IRigX &rig)
{
    return rig.Status() == OmniRig::ST_ONLINE;
}

// Where a rig shows its frequency: Freq, or VFO A on a radio that reports only that; none when it reports
// neither.
std::optional<OmniRig::RigParamX> frequencyShown(IRigX &rig)
{
    if (rig.IsParamReadable(OmniRig::PM_FREQ))
        return OmniRig::PM_FREQ;
    if (rig.IsParamReadable(OmniRig::PM_FREQA))
        return OmniRig::PM_FREQA;
    return std::nullopt;
}

std::int64_t read(IRigX &rig, OmniRig::RigParamX where)
{
    return where == OmniRig::PM_FREQA ? rig.FreqA() : rig.Freq();
}

// The frequency to copy from a rig that shows it there; nothing while it reads 0 Hz, which a copy would turn
// into the offset alone.
std::optional<std::int64_t> source(IRigX &rig, OmniRig::RigParamX where)
{
    const std::int64_t hertz = read(rig, where);
    if (hertz == 0)
        return std::nullopt;
    return hertz;
}

// Tunes through Freq, or through VFO A on a radio that takes only that.
void tune(IRigX &rig, std::int64_t hertz)
{
    if (!rig.IsParamWriteable(OmniRig::PM_FREQ) && rig.IsParamWriteable(OmniRig::PM_FREQA))
        rig.SetFreqA(hertz);
    else
        rig.SetFreq(hertz);
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
    const std::optional<OmniRig::RigParamX> from = frequencyShown(rig1);
    if (!from)
        return;
    const std::optional<std::int64_t> hertz = source(rig1, *from);
    const std::optional<std::int64_t> freq = hertz ? shifted(*hertz, offset) : std::nullopt;
    if (!freq)
        return;
    tune(rig2, *freq);
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
    const std::optional<OmniRig::RigParamX> from = frequencyShown(rig2);
    if (!from)
        return;
    const std::optional<std::int64_t> hertz = source(rig2, *from);
    const std::optional<std::int64_t> freq = hertz ? shifted(*hertz, -std::int64_t(offset)) : std::nullopt;
    if (!freq)
        return;
    tune(rig1, *freq);
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
    const std::optional<OmniRig::RigParamX> from1 = frequencyShown(rig1);
    const std::optional<OmniRig::RigParamX> from2 = frequencyShown(rig2);
    if (!from1 || !from2)
        return;
    const std::optional<std::int64_t> freq2 = source(rig2, *from2);
    if (!freq2)
        return;
    const std::int32_t mode2 = rig2.Mode();
    const std::optional<std::int64_t> toRig1 = shifted(*freq2, -std::int64_t(offset));
    if (!toRig1)
        return;
    const std::optional<std::int64_t> freq1 = source(rig1, *from1);
    const std::optional<std::int64_t> toRig2 = freq1 ? shifted(*freq1, offset) : std::nullopt;
    if (!toRig2)
        return;
    tune(rig2, *toRig2);
    rig2.SetMode(rig1.Mode());
    tune(rig1, *toRig1);
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
    const std::optional<OmniRig::RigParamX> from = frequencyShown(*master);
    if (!from)
        return;
    // Rig2 = Rig1 + offset whichever rig leads.
    const std::int64_t delta = master == server.Rig1() ? offset : -std::int64_t(offset);
    const std::int64_t followerFreq = read(*follower, frequencyShown(*follower).value_or(OmniRig::PM_FREQ));
    const std::optional<std::int64_t> masterFreq = source(*master, *from);
    if (!masterFreq)
        return;
    const std::optional<std::int64_t> wanted = shifted(*masterFreq, delta);
    if (wanted && followerFreq == *wanted) {
        const std::int32_t followerMode = follower->Mode();
        if (followerMode == master->Mode())
            return;
    }
    const std::optional<std::int64_t> freq = shifted(read(*master, *from), delta);
    if (!freq)
        return;
    tune(*follower, *freq);
    follower->SetMode(master->Mode());
}

} // namespace RigTransfer
