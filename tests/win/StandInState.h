// StandInState: what a stand-in server object and its rigs share: the rigs' settable state, the switches a
// test turns on, the subscribed sinks, and the events queued for the server's thread.
//
// Threads: the stand-in's single-threaded apartment (the test's thread for the DLL, the EXE's main thread).
#pragma once

#include "omnirig/win/ComPtr.h"
#include "omnirig/win/ComVariant.h"

#include <windows.h>

#include <oaidl.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct StandInRigState {
    std::wstring type;
    long readable = 0;
    long status = 0;
    std::optional<std::wstring> statusText; // none: handed out as a null BSTR
    long freq = 0;
    long tx = 0;
    long mode = 0;
};

struct StandInEvent {
    DISPID id = 0;
    long rig = 0;
    long params = 0;
    std::shared_ptr<ComVariant> command = std::make_shared<ComVariant>();
    std::shared_ptr<ComVariant> reply = std::make_shared<ComVariant>();
};

class StandInState : public std::enable_shared_from_this<StandInState> {
public:
    StandInState() { reset(); }

    void reset();

    StandInRigState rigs[2];
    VARIANT_BOOL dialogVisible = VARIANT_FALSE;
    short dialogPut = 0;
    bool refuseAdvise = false;
    bool tearOffs = false;
    bool eventOnWrite = false;
    std::vector<std::pair<DWORD, ComPtr<IDispatch>>> sinks;
    DWORD nextCookie = 1;

    // Calls IDispatch::Invoke on every sink, with the arguments last first as automation wants them.
    void raise(const StandInEvent &event);
    // Raises the event when the thread next dispatches its messages.
    void post(StandInEvent event);
};
