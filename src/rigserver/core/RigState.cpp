#include "rigserver/core/RigState.h"

std::int32_t RigState::changedParams(const RigState &before, const RigState &after)
{
    std::int32_t bits = 0;
    if (after.freq != before.freq)
        bits |= OmniRig::PM_FREQ;
    if (after.mode != before.mode)
        bits |= after.mode != 0 ? after.mode : OmniRig::PM_UNKNOWN;
    if (after.tx != before.tx && after.tx != 0)
        bits |= after.tx;
    return bits;
}
