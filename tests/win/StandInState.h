// StandInState: the stand-in OmniRig itself, one per process as OmniRig is: its two rigs and the radios behind
// them, its timing, and the sink each of its server objects has subscribed.
//
// It works as OmniRig 1.20 does. A timer every 100 ms drives each rig: its status follows its link (enabled,
// port, a radio that answers); a write queued by a client goes to the radio first, one per turn; otherwise,
// once the poll interval is up, a poll reads the radio, and what it finds changed is raised as ParamsChange.
// A rig goes on line at its radio's first answer, before anything is read: Freq reads 0 and Mode and Tx read
// PM_UNKNOWN until the first poll. StatusChange is raised when a rig is enabled, goes on line or goes off line
// (not between "Port is not available" and "Rig is not responding"); nothing is raised at connection or Advise.
// A write the rig's definition cannot take, of anything but a single mode bit, or to a rig that is not enabled
// is dropped, and the client is told it succeeded.
// Threads: the stand-in's single-threaded apartment (the test's thread for the DLL, the EXE's main thread).
#pragma once

#include "omnirig/win/ComPtr.h"
#include "omnirig/win/ComVariant.h"

#include <windows.h>

#include <oaidl.h>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>

// What OmniRig's rig definition file says a radio can report and be told.
struct StandInDefinition {
    const wchar_t *type;
    long readable;
    long writeable;
};

// What a client is shown in place of what its rig reads (SetShown).
struct StandInShown {
    std::wstring type;
    long readable = 0;
    long status = 0;
    std::optional<std::wstring> statusText; // none: handed out as a null BSTR
    long freq = 0;
    long tx = 0;
    long mode = 0;
};

struct StandInRigState {
    const StandInDefinition *definition = nullptr;
    // The link to the radio.
    bool enabled = true;
    bool portAvailable = true;
    bool answering = true;
    bool answersPolls = true;
    // The radio itself.
    long radioFreq = 0;
    long radioFreqB = 0;
    long radioMode = 0;
    long radioTx = 0;
    // What the server has read of it, and shows its clients.
    long status = 3;
    long freq = 0;
    long freqA = 0;
    long freqB = 0;
    long mode = 1;
    long tx = 1;
    std::optional<StandInShown> shown;
    // The server's work for it.
    struct Write {
        long param;
        long value;
    };
    std::deque<Write> writes;
    struct Custom {
        int server;
        std::shared_ptr<ComVariant> command;
    };
    std::deque<Custom> customs;
    ULONGLONG lastAnswer = 0;
    ULONGLONG nextPoll = 0;
    long polls = 0;
};

struct StandInEvent {
    DISPID id = 0;
    long rig = 0;
    long params = 0;
    std::shared_ptr<ComVariant> command = std::make_shared<ComVariant>();
    std::shared_ptr<ComVariant> reply = std::make_shared<ComVariant>();
};

class StandInState {
public:
    static StandInState &instance();

    void reset();

    // The definitions a rig may be given; null for an unknown type.
    static const StandInDefinition *definition(const std::wstring &type);
    void define(int index, const StandInDefinition *definition);
    void setLink(int index, bool enabled, bool portAvailable, bool answering, bool answersPolls);
    // Queue a client's write (param: PM_FREQ, PM_FREQA or PM_FREQB), or drop it when the rig cannot take it.
    void writeFrequency(int index, long param, long hertz);
    void writeMode(int index, long mode);
    void sendCustom(int index, int server, const VARIANT &command);
    // The text OmniRig gives a status.
    static const wchar_t *statusText(long status);

    StandInRigState rigs[2];
    long pollMs = 500;
    long timeoutMs = 4000;
    VARIANT_BOOL dialogVisible = VARIANT_FALSE;
    short dialogPut = 0;
    bool refuseAdvise = false;
    bool tearOffs = false;
    bool dispatchOnly = false;

    // The one sink each server object may have, by the object's number.
    std::map<int, ComPtr<IDispatch>> sinks;
    int nextServer = 1;

    // Calls IDispatch::Invoke on every sink (or the one server's), with the arguments last first as
    // automation wants them.
    void raise(const StandInEvent &event, int toServer = 0);
    // Raises the event when the thread next dispatches its messages.
    void post(StandInEvent event);
    // Starts the 100 ms timer that drives the rigs, once.
    void run();

private:
    StandInState() { reset(); }

    bool takes(int index, long param) const;
    void turn();
    void drive(int index, ULONGLONG now);
    void poll(int index);
    void changeStatus(int index, long status);
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);

    UINT_PTR m_timer = 0;
};
