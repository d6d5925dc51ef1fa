#include "RigBackend.h"

RigResult rigResultFromHamlibCode(int code)
{
    // Hamlib's codes (enum rig_errcode_e), spelled as numbers so that rigctld's RPRT needs no Hamlib headers.
    switch (code < 0 ? -code : code) {
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
