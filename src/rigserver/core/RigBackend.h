// RigBackend: one radio as the rig worker sees it, behind a small blocking interface.
//
// Responsibilities: open and close the radio, say what it can do, read and write frequency, mode and
// transmit state, and classify every failure so the worker can turn it into a status.
// Collaborations: the back ends in rigserver/backends implement it, and RigBackendFactory makes them.
// The interface lives here, with the worker that calls it, rather than beside its implementations: the
// back ends need the core anyway (a back end is opened on RigSettings), so the dependency can only point
// from the back ends to the core, and the core builds and runs without Hamlib or any back end at all.
// Threads: a backend is created, used and destroyed on its rig's worker thread; only abort() may be
// called from another thread.
#pragma once

#include <cstdint>
#include <string>

enum class RigResult {
    Ok,
    NotAvailable,  // the radio cannot do this (the value stays unknown; nothing is wrong)
    Rejected,      // the radio refused this one command
    PortError,     // the port or socket could not be opened, or the connection dropped
    Timeout,       // no answer within the timeout
    ProtocolError, // an answer that makes no sense: the link is out of step
};

// The radio answered and said no (it cannot do this, or would not do it this once): what it held stays as it
// was, and the link to it is sound. Every other failure is one of the link.
constexpr bool refusedSoftly(RigResult result)
{
    return result == RigResult::NotAvailable || result == RigResult::Rejected;
}

struct RigCaps {
    std::string rigType; // the radio's short name: "Dummy", "IC-7300" ...
    bool canGetFreq = false;
    bool canSetFreq = false;
    bool canGetMode = false;
    bool canSetMode = false;
    bool canGetPtt = false;
    bool canSetPtt = false;
};

class RigBackend {
public:
    virtual ~RigBackend() = default;

    virtual RigResult open() = 0;
    virtual void close() = 0;
    // Valid after a successful open().
    virtual const RigCaps &caps() const = 0;

    virtual RigResult getFreq(std::int64_t &hertz) = 0;
    virtual RigResult setFreq(std::int64_t hertz) = 0;
    // Modes are OmniRig mode flags; a mode without a flag reads as 0.
    virtual RigResult getMode(std::int32_t &modeFlag) = 0;
    virtual RigResult setMode(std::int32_t modeFlag) = 0;
    virtual RigResult getPtt(bool &transmitting) = 0;
    virtual RigResult setPtt(bool transmit) = 0;

    // Cuts a blocking call short from another thread (at shutdown); later calls fail.
    virtual void abort() {}

    // Commands sent to the radio or the server so far, for measurement.
    virtual std::uint64_t commandCount() const = 0;
};
