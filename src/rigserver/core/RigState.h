// RigState: what the rig server knows of one radio at one moment. A plain value: the worker publishes a
// new one when anything in it changed, and the rig object compares it with the last to raise events.
#pragma once

#include "omnirig/OmniRig_TLB.h"

#include <QMetaType>

#include <array>
#include <cstdint>
#include <string>

struct RigState {
    std::int32_t status = OmniRig::ST_NOTRESPONDING;
    std::string statusText = OmniRig::statusText(OmniRig::ST_NOTRESPONDING);
    std::string rigType;
    std::int64_t freq = 0;
    std::int32_t mode = 0;     // one PM_ mode flag, or 0
    std::int32_t tx = 0;       // PM_RX, PM_TX, or 0 while unknown
    std::int32_t readable = 0; // PM_ flags the radio reports
    bool txWritable = false;   // the radio can be keyed and unkeyed

    bool operator==(const RigState &) const = default;

    void setStatus(std::int32_t value)
    {
        status = value;
        statusText = OmniRig::statusText(value);
    }

    // The PM_ flags of the parameters that differ between before and after: PM_FREQ, the new mode's flag
    // (PM_UNKNOWN for a mode without one), the new transmit flag.
    static std::int32_t changedParams(const RigState &before, const RigState &after);
};

// One state as the worker published it, for the configuration it belongs to, and the sequence number of
// the last write of each kind (frequency, mode, transmit: RigWorker::Write) the worker had dealt with when it
// published it.
struct RigUpdate {
    RigState state;
    quint64 generation = 0;
    std::array<quint64, 3> written{};
};

Q_DECLARE_METATYPE(RigUpdate)
