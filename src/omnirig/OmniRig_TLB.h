// The rig-server contract: what a rig-control server (OmniRig on Windows, our own rig server on Linux)
// offers to the panel. Plain C++ and the standard library only, so that a back end over OmniRig's
// COM interface can implement it with a compiler that has no Qt.
//
// Responsibilities: the server and rig interfaces, the event sink a server calls, the parameter flags,
// status values and identifiers of OmniRig's type library, and the factory through which a client finds
// a running server or creates one.
// Threads: every call on IOmniRigX and IRigX is made on the thread of the client that obtained the
// server, and a server calls its sinks on that thread too. No call waits for a radio.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace OmniRig {

// Parameter flags: bit i stands for the i-th parameter of OmniRig's RigParamX.
enum RigParamX : std::int32_t {
    PM_UNKNOWN = 0x00000001,
    PM_FREQ = 0x00000002,
    PM_FREQA = 0x00000004,
    PM_FREQB = 0x00000008,
    PM_PITCH = 0x00000010,
    PM_RITOFFSET = 0x00000020,
    PM_RIT0 = 0x00000040,
    PM_VFOAA = 0x00000080,
    PM_VFOAB = 0x00000100,
    PM_VFOBA = 0x00000200,
    PM_VFOBB = 0x00000400,
    PM_VFOA = 0x00000800,
    PM_VFOB = 0x00001000,
    PM_VFOEQUAL = 0x00002000,
    PM_VFOSWAP = 0x00004000,
    PM_SPLITON = 0x00008000,
    PM_SPLITOFF = 0x00010000,
    PM_RITON = 0x00020000,
    PM_RITOFF = 0x00040000,
    PM_XITON = 0x00080000,
    PM_XITOFF = 0x00100000,
    PM_RX = 0x00200000,
    PM_TX = 0x00400000,
    PM_CW_U = 0x00800000,
    PM_CW_L = 0x01000000,
    PM_SSB_U = 0x02000000,
    PM_SSB_L = 0x04000000,
    PM_DIG_U = 0x08000000,
    PM_DIG_L = 0x10000000,
    PM_AM = 0x20000000,
    PM_FM = 0x40000000,
};

inline constexpr std::int32_t PM_ALL = 0x7FFFFFFF;
inline constexpr std::int32_t PM_MODES = PM_CW_U | PM_CW_L | PM_SSB_U | PM_SSB_L | PM_DIG_U | PM_DIG_L | PM_AM | PM_FM;

// The names OmniRig gives the 31 flags, bit 0 first ("UNKNOWN" ... "FM").
const char *paramName(int bit);

enum RigStatusX : std::int32_t {
    ST_NOTCONFIGURED = 0,
    ST_DISABLED = 1,
    ST_PORTBUSY = 2,
    ST_NOTRESPONDING = 3,
    ST_ONLINE = 4,
};

// The status texts a server shows for each status value.
const char *statusText(std::int32_t status);

// Event dispatch ids of IOmniRigXEvents.
enum EventDispId : int {
    DISPID_OnVisibleChange = 1,
    DISPID_OnRigTypeChange = 2,
    DISPID_OnStatusChange = 3,
    DISPID_OnParamsChange = 4,
    DISPID_OnCustomReply = 5,
};

inline constexpr const char *NotConnectedMessage =
    "DefaultInterface is NULL. Component is not connected to Server. You must call 'Connect' or 'ConnectTo' "
    "before this operation";

} // namespace OmniRig

// A failed call on the server or on a rig: the server is gone, it refused the call, or it could not be
// created. The text is the operator's message.
class OmniRigError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// No server could be reached: none runs, and none is installed that could be started.
class OmniRigNotConnected : public OmniRigError {
public:
    OmniRigNotConnected() : OmniRigError(OmniRig::NotConnectedMessage) {}
};

// One radio as the server shows it. Reads answer from the server's cache; writes are queued for the radio.
class IRigX {
public:
    virtual ~IRigX() = default;

    virtual std::string RigType() = 0;         // "NONE" when no rig is configured
    virtual std::int32_t ReadableParams() = 0; // RigParamX flags the rig can report
    virtual bool IsParamReadable(std::int32_t param) = 0;
    // Whether the rig can be told param; a server drops a write the rig cannot take.
    virtual bool IsParamWriteable(std::int32_t param) = 0;
    virtual std::int32_t Status() = 0; // RigStatusX
    virtual std::string StatusStr() = 0;
    // Hertz; 0 until the radio has told it, also on a rig that is on line already.
    virtual std::int64_t Freq() = 0;
    virtual void SetFreq(std::int64_t hertz) = 0;
    // VFO A's frequency: some radios are read and tuned through their VFOs only, not through Freq.
    virtual std::int64_t FreqA() = 0;
    virtual void SetFreqA(std::int64_t hertz) = 0;
    virtual std::int32_t Tx() = 0;   // PM_RX or PM_TX; 0 or PM_UNKNOWN when unknown
    virtual std::int32_t Mode() = 0; // one PM_ mode flag; 0 or PM_UNKNOWN when unknown
    virtual void SetMode(std::int32_t mode) = 0;
};

// What a server calls when something changed. Rig numbers are 1 for Rig1 and 2 for Rig2.
class IOmniRigXEvents {
public:
    virtual ~IOmniRigXEvents() = default;

    virtual void OnVisibleChange() = 0;
    virtual void OnRigTypeChange(int rigNumber) = 0;
    virtual void OnStatusChange(int rigNumber) = 0;
    virtual void OnParamsChange(int rigNumber, std::int32_t params) = 0;
    virtual void OnCustomReply(int rigNumber, const std::string &command, const std::string &reply) = 0;
};

class IOmniRigX {
public:
    virtual ~IOmniRigX() = default;

    // The same object on every call, for the whole life of the server.
    virtual IRigX *Rig1() = 0;
    virtual IRigX *Rig2() = 0;

    virtual bool DialogVisible() = 0;
    virtual void SetDialogVisible(bool visible) = 0;

    // The event connection point. A sink hears every event raised after it subscribed; the returned cookie
    // unsubscribes it. The sink must stay alive until it is unsubscribed.
    virtual int Advise(IOmniRigXEvents *sink) = 0;
    virtual void Unadvise(int cookie) = 0;
};

// How a client finds its server: the one already running, else a new one. Either may return null or throw
// OmniRigError.
class IOmniRigFactory {
public:
    virtual ~IOmniRigFactory() = default;

    virtual std::shared_ptr<IOmniRigX> GetActiveObject() = 0;
    virtual std::shared_ptr<IOmniRigX> CreateInstance() = 0;
};
