// RigctldResponder: the serving side of the rigctld protocol, as Hamlib's network rig (model 2, "NET
// rigctl") and the scripts that talk to rigctld expect it, answered from what a rig object knows.
//
// Responsibilities: answer one command for a rig as it is now: its state description (dump_state, which
// Hamlib's client reads when it opens), what it can do (dump_caps, which our own client reads), frequency,
// mode and passband, VFO, PTT and split, in the plain protocol or the Extended Response Protocol, with
// rigctld's error replies; turn a frequency, mode or PTT write into a write for the rig's queue.
// What the rig object cannot know or do is answered as rigctld answers for a radio without the feature:
// RPRT -11 ("feature not available"), which Hamlib's client passes on as it is. The rig object reads and
// writes the VFO the radio is on, called VFOA here. A client may select another VFO (Hamlib's client does,
// to read VFO B while it opens, and believes it switched even when told it cannot): that is remembered for
// its connection, and until it selects VFOA again its frequency and mode reads and writes get -11, so that
// nothing meant for VFO B ever reaches the VFO the radio is on. The passband is not known: a mode is read with its
// usual passband, and a passband given with a mode is left to the radio. While the rig is not on line every command
// that would reach the radio gets the error rigctld gives when its radio does not answer (-5) or its port is gone (-6);
// the description of the rig is always given, so a client can open and wait for the radio. Collaborations:
// ShareConnection asks it for every line and runs the writes it returns through the rig object; RigShareServer maps the
// write's outcome back to a code. Threads: plain functions of their arguments. Qt-free.
#pragma once

#include "rigserver/rigctld/RigctldCommand.h"

#include <cstdint>
#include <optional>
#include <string>

// What a share knows of its rig at one moment: what the rig object shows every client.
struct SharedRig {
    std::int32_t status = 3; // an OmniRig ST_ value: not responding until heard
    std::int64_t freq = 0;
    std::int32_t mode = 0;     // one OmniRig PM_ mode flag, 0 when unknown
    std::int32_t tx = 0;       // PM_RX, PM_TX, 0 when unknown
    std::int32_t readable = 0; // the PM_ flags the radio reports
    bool txWritable = false;   // the radio can be keyed
    std::string rigType;
    int model = 0; // the Hamlib model number of the radio behind

    bool operator==(const SharedRig &) const = default;
};

// A write a client asked for, for the rig object's queue.
struct SharedWrite {
    enum Kind { Freq, Mode, Ptt } kind;
    std::int64_t value; // hertz, an OmniRig mode flag, or 1 to key the radio and 0 to unkey it
};

// What one connection has told the server that outlives a command: the VFO it selected.
struct RigctldSession {
    std::string vfo = "VFOA";
    bool onOtherVfo = false; // a VFO other than the one the radio is on
};

struct RigctldAnswer {
    std::string reply;                // to send at once; empty when write is set or nothing is due
    std::optional<SharedWrite> write; // to run first; writeReply() is sent once its outcome is known
    bool hangUp = false;              // close the connection once the reply has gone
};

namespace RigctldResponder {

// Hamlib's error codes as rigctld reports them (enum rig_errcode_e, negated).
inline constexpr int InvalidParameter = -1; // RIG_EINVAL
inline constexpr int TimedOut = -5;         // RIG_ETIMEOUT
inline constexpr int IoError = -6;          // RIG_EIO
inline constexpr int NotAvailable = -11;    // RIG_ENAVAIL

RigctldAnswer answer(const RigctldCommand &command, const SharedRig &rig, RigctldSession &session);
// The reply to a write, once the rig object took it (0) or refused it (an error code).
std::string writeReply(const RigctldCommand &command, int code);
// The error for commands that would reach a radio in this status; 0 when it is on line.
int statusError(std::int32_t status);
// A reply that is only an error, as for a line that cannot be a command at all.
std::string errorReply(int code);

} // namespace RigctldResponder
