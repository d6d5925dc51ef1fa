// RigReadPolicy: what a poll asks the radio for, in which order, and what an unanswered read means.
//
// Responsibilities: ask for the frequency, the mode and the transmit state where the radio can give them;
// ask a read that went unanswered once more, unless another value of the same poll went unanswered already
// (a radio switched off in the middle of a poll is not waited for twice per value); ask the last value to go
// unanswered last, so that a radio which answers the others is heard first; tell a radio that is gone (the
// first value asked went unanswered, or a second one that had always been answered) from one that does not
// give one value, which after a few polls of that is no longer asked for, so the rig stays on line without
// it; stop asking for a transmit state the radio cannot read back. A refusal keeps what was read before.
// What it has learnt holds for one configuration, across reopening the radio.
// Collaborations: RigWorker asks it before each read and hands it each read's result.
// Threads: the worker's thread.
#pragma once

#include "rigserver/core/RigBackend.h"

#include <array>
#include <cstdint>

class RigReadPolicy {
public:
    // The values a poll reads.
    enum Value { Frequency, Mode, Ptt, ValueCount };

    // Forgets what was learnt: a new configuration.
    void reset() { *this = RigReadPolicy(); }
    // The order to ask in this poll; take() may change it for the next.
    std::array<Value, ValueCount> order() const { return m_order; }
    // Whether value is asked for, of a radio that can do caps.
    bool asks(Value value, const RigCaps &caps) const;

    void beginPoll();
    // Whether a read of this poll that goes unanswered is to be asked once more.
    bool retries() const { return !m_unanswered; }
    // Takes the result of reading value in this poll: true to go on, false when result says the radio is
    // gone or the link failed.
    bool take(Value value, RigResult result);

    // The OmniRig PM_ flags of what the radio reports. A frequency the radio never gave is not offered: a
    // copy would send 0 Hz plus the offset.
    std::int32_t readable(const RigCaps &caps) const;

private:
    bool timedOut(Value value);

    std::array<Value, ValueCount> m_order{Frequency, Mode, Ptt};
    std::array<int, ValueCount> m_strikes{};  // polls in a row in which the value went unanswered
    std::array<bool, ValueCount> m_dropped{}; // no longer asked for
    bool m_freqKnown = false;                 // a frequency has been read
    bool m_answered = false;                  // a read of this poll was answered
    bool m_unanswered = false;                // ... or went unanswered
};
