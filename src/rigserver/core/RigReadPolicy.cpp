#include "rigserver/core/RigReadPolicy.h"

#include "omnirig/OmniRig_TLB.h"

#include <algorithm>

namespace {

// Polls in a row in which one value goes unanswered while others are answered, before it is no longer asked.
constexpr int MaxStrikes = 3;

} // namespace

bool RigReadPolicy::asks(Value value, const RigCaps &caps) const
{
    const bool can = value == Frequency ? caps.canGetFreq : value == Mode ? caps.canGetMode : caps.canGetPtt;
    return can && !m_dropped[value];
}

void RigReadPolicy::beginPoll()
{
    m_answered = false;
    m_unanswered = false;
}

bool RigReadPolicy::take(Value value, RigResult result)
{
    if (result == RigResult::Ok) {
        m_answered = true;
        m_strikes[value] = 0;
        m_freqKnown = m_freqKnown || value == Frequency;
        return true;
    }
    if (refusedSoftly(result)) {
        if (value == Ptt && result == RigResult::NotAvailable)
            m_dropped[Ptt] = true; // a PTT type without read-back
        return true;
    }
    return result == RigResult::Timeout && timedOut(value);
}

bool RigReadPolicy::timedOut(Value value)
{
    std::stable_partition(m_order.begin(), m_order.end(), [value](Value v) { return v != value; });
    const bool gone = !m_answered || (m_unanswered && m_strikes[value] == 0);
    ++m_strikes[value];
    if (gone)
        return false;
    m_unanswered = true;
    if (m_strikes[value] >= MaxStrikes)
        m_dropped[value] = true;
    return true;
}

std::int32_t RigReadPolicy::readable(const RigCaps &caps) const
{
    return (asks(Frequency, caps) && m_freqKnown ? OmniRig::PM_FREQ : 0) | (asks(Mode, caps) ? OmniRig::PM_MODES : 0) |
           (asks(Ptt, caps) ? OmniRig::PM_RX | OmniRig::PM_TX : 0);
}
