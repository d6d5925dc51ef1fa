#include "StandInState.h"

#include <deque>

namespace {

// Events wait here for a zero-delay thread timer, so they reach the sinks from the message loop, as a real
// server's do, and not from inside the call that queued them.
std::deque<std::pair<std::shared_ptr<StandInState>, StandInEvent>> g_pending;
UINT_PTR g_timer = 0;

void CALLBACK raisePending(HWND, UINT, UINT_PTR, DWORD)
{
    KillTimer(nullptr, g_timer);
    g_timer = 0;
    while (!g_pending.empty()) {
        auto [state, event] = std::move(g_pending.front());
        g_pending.pop_front();
        state->raise(event);
    }
}

} // namespace

void StandInState::reset()
{
    // Readable: FREQ, RX, TX, USB and LSB; status 4 is on line; receiving; USB and LSB.
    rigs[0] = {L"IC-7300", 0x06600002, 4, L"On-line", 14074000, 0x200000, 0x2000000};
    rigs[1] = {L"FT-991", 0x06600002, 4, L"On-line", 7074000, 0x200000, 0x4000000};
    dialogVisible = VARIANT_FALSE;
    dialogPut = 0;
    refuseAdvise = false;
    tearOffs = false;
    eventOnWrite = false;
}

void StandInState::raise(const StandInEvent &event)
{
    VARIANT arguments[3];
    UINT count = 0;
    const auto push = [&](const VARIANT &value) { arguments[count++] = value; };
    VARIANT rig;
    V_VT(&rig) = VT_I4;
    V_I4(&rig) = event.rig;
    VARIANT params;
    V_VT(&params) = VT_I4;
    V_I4(&params) = event.params;
    // Last argument first.
    switch (event.id) {
    case 1:
        break;
    case 4:
        push(params);
        push(rig);
        break;
    case 5:
        push(event.reply->get());
        push(event.command->get());
        push(rig);
        break;
    default:
        push(rig);
        break;
    }
    DISPPARAMS dispParams{count ? arguments : nullptr, nullptr, count, 0};
    // A sink may unsubscribe while it is called.
    const auto current = sinks;
    for (const auto &[cookie, sink] : current)
        sink->Invoke(event.id, IID_NULL, 0, DISPATCH_METHOD, &dispParams, nullptr, nullptr, nullptr);
}

void StandInState::post(StandInEvent event)
{
    g_pending.emplace_back(shared_from_this(), std::move(event));
    if (!g_timer)
        g_timer = SetTimer(nullptr, 0, 0, raisePending);
}
