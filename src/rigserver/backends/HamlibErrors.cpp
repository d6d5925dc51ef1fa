#include "rigserver/backends/HamlibErrors.h"

#include <cstdint>

RigResult rigResultFromHamlibCode(int code)
{
    // Hamlib's codes (enum rig_errcode_e), spelled as numbers so that rigctld's RPRT needs no Hamlib headers.
    // The magnitude is taken in 64 bits: a peer may report any int, and the most negative one has no
    // 32-bit opposite.
    const std::int64_t wide = code;
    switch (wide < 0 ? -wide : wide) {
    case 0:
        return RigResult::Ok;
    case 4:  // RIG_ENIMPL
    case 11: // RIG_ENAVAIL
    case 12: // RIG_ENTARGET
        return RigResult::NotAvailable;
    case 5:  // RIG_ETIMEOUT
    case 20: // RIG_EPOWER: a radio switched off does not answer
        return RigResult::Timeout;
    case 6:  // RIG_EIO
    case 13: // RIG_BUSERROR
    case 14: // RIG_BUSBUSY
        return RigResult::PortError;
    case 8: // RIG_EPROTO
        return RigResult::ProtocolError;
    default:
        return RigResult::Rejected;
    }
}
