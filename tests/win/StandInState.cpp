#include "StandInState.h"

#include <bit>
#include <vector>

namespace {

constexpr long FREQ = 0x2, FREQA = 0x4, FREQB = 0x8, RX = 0x200000, TX = 0x400000, UNKNOWN = 0x1;
constexpr long MODES = 0x7F800000; // CW_U ... FM
constexpr UINT TurnMs = 100;

// Rig definitions as OmniRig's files describe three radios: two read and tuned through Freq as well as their
// VFOs, one through its VFOs only.
const StandInDefinition Definitions[] = {
    {L"IC-7300", FREQ | FREQA | FREQB | RX | TX | MODES, FREQ | FREQA | FREQB | MODES},
    {L"FT-991", FREQ | FREQA | FREQB | RX | TX | MODES, FREQ | FREQA | FREQB | MODES},
    {L"FT-1000MP", FREQA | FREQB | RX | TX | MODES, FREQA | FREQB | MODES},
    {L"NONE", 0, 0},
};

// Events wait here for a zero-delay thread timer, so they reach the sinks from the message loop, as a real
// server's do, and not from inside the call that queued them.
std::deque<StandInEvent> g_pending;
UINT_PTR g_pendingTimer = 0;

void CALLBACK raisePending(HWND, UINT, UINT_PTR, DWORD)
{
    KillTimer(nullptr, g_pendingTimer);
    g_pendingTimer = 0;
    while (!g_pending.empty()) {
        const StandInEvent event = std::move(g_pending.front());
        g_pending.pop_front();
        StandInState::instance().raise(event);
    }
}

bool singleBit(long value)
{
    return std::has_single_bit(static_cast<unsigned long>(value));
}

} // namespace

StandInState &StandInState::instance()
{
    static StandInState state;
    return state;
}

void StandInState::reset()
{
    const auto ready = [](StandInRigState &rig, const StandInDefinition *definition, long freq, long mode) {
        rig = {};
        rig.definition = definition;
        rig.radioFreq = rig.radioFreqB = freq;
        rig.radioMode = mode;
        rig.radioTx = RX;
        rig.status = 4;
        rig.freq = rig.freqA = rig.freqB = freq;
        rig.mode = mode;
        rig.tx = RX;
        rig.lastAnswer = GetTickCount64();
        rig.polls = 1;
    };
    ready(rigs[0], &Definitions[0], 14074000, 0x2000000);
    ready(rigs[1], &Definitions[1], 7074000, 0x4000000);
    pollMs = 500;
    timeoutMs = 4000;
    dialogVisible = VARIANT_FALSE;
    dialogPut = 0;
    refuseAdvise = false;
    tearOffs = false;
    dispatchOnly = false;
}

const StandInDefinition *StandInState::definition(const std::wstring &type)
{
    for (const StandInDefinition &each : Definitions)
        if (type == each.type)
            return &each;
    return nullptr;
}

const wchar_t *StandInState::statusText(long status)
{
    switch (status) {
    case 0:
        return L"Rig is not configured";
    case 1:
        return L"Rig is disabled";
    case 2:
        return L"Port is not available";
    case 3:
        return L"Rig is not responding";
    default:
        return L"On-line";
    }
}

void StandInState::define(int index, const StandInDefinition *definition)
{
    StandInRigState &rig = rigs[index];
    rig.definition = definition;
    rig.writes.clear();
    // A new definition is a new rig to the server: nothing of the old one has been read.
    rig.freq = rig.freqA = rig.freqB = 0;
    rig.mode = rig.tx = UNKNOWN;
    rig.nextPoll = 0;
    StandInEvent event;
    event.id = 2; // RigTypeChange
    event.rig = index + 1;
    raise(event);
    drive(index, GetTickCount64());
}

void StandInState::setLink(int index, bool enabled, bool portAvailable, bool answering, bool answersPolls)
{
    StandInRigState &rig = rigs[index];
    // A rig enabled again, or whose port opens again, starts afresh.
    if ((enabled && !rig.enabled) || (portAvailable && !rig.portAvailable)) {
        rig.freq = rig.freqA = rig.freqB = 0;
        rig.mode = rig.tx = UNKNOWN;
        rig.nextPoll = 0;
    }
    rig.enabled = enabled;
    rig.portAvailable = portAvailable;
    rig.answering = answering;
    rig.answersPolls = answersPolls;
    drive(index, GetTickCount64());
}

bool StandInState::takes(int index, long param) const
{
    const StandInRigState &rig = rigs[index];
    return rig.definition && rig.enabled && singleBit(param) && (rig.definition->writeable & param) == param;
}

void StandInState::writeFrequency(int index, long param, long hertz)
{
    if (takes(index, param))
        rigs[index].writes.push_back({param, hertz});
}

void StandInState::writeMode(int index, long mode)
{
    if ((mode & MODES) == mode && takes(index, mode))
        rigs[index].writes.push_back({mode, mode});
}

void StandInState::sendCustom(int index, int server, const VARIANT &command)
{
    auto copy = std::make_shared<ComVariant>();
    if (copy->copyFrom(command))
        rigs[index].customs.push_back({server, std::move(copy)});
}

void StandInState::run()
{
    if (!m_timer)
        m_timer = SetTimer(nullptr, 0, TurnMs, tick);
}

void CALLBACK StandInState::tick(HWND, UINT, UINT_PTR, DWORD)
{
    instance().turn();
}

void StandInState::turn()
{
    const ULONGLONG now = GetTickCount64();
    for (int index = 0; index < 2; ++index)
        drive(index, now);
}

void StandInState::changeStatus(int index, long status)
{
    StandInRigState &rig = rigs[index];
    const long before = rig.status;
    if (status == before)
        return;
    rig.status = status;
    // Between a port that is gone and a radio that is silent the server says nothing.
    if ((before == 2 && status == 3) || (before == 3 && status == 2))
        return;
    StandInEvent event;
    event.id = 3; // StatusChange
    event.rig = index + 1;
    raise(event);
}

void StandInState::drive(int index, ULONGLONG now)
{
    StandInRigState &rig = rigs[index];
    if (rig.shown)
        return;
    if (!rig.definition || rig.definition->readable == 0)
        return changeStatus(index, 0);
    if (!rig.enabled)
        return changeStatus(index, 1);
    if (!rig.portAvailable)
        return changeStatus(index, 2);
    if (!rig.answering) {
        // Silent since its last answer: gone once the timeout is up.
        if (rig.status != 4 || now - rig.lastAnswer >= ULONGLONG(timeoutMs))
            changeStatus(index, 3);
        return;
    }
    // The radio answers: the first answer, to whatever command, puts the rig on line.
    rig.lastAnswer = now;
    changeStatus(index, 4);
    if (!rig.writes.empty()) {
        // A write goes ahead of the poll.
        const StandInRigState::Write write = rig.writes.front();
        rig.writes.pop_front();
        if (write.param == FREQ || write.param == FREQA)
            rig.radioFreq = write.value;
        else if (write.param == FREQB)
            rig.radioFreqB = write.value;
        else
            rig.radioMode = write.value;
        return;
    }
    if (!rig.customs.empty()) {
        const StandInRigState::Custom custom = rig.customs.front();
        rig.customs.pop_front();
        // The radio echoes a command: its reply goes to the object that sent it, and to no other.
        StandInEvent event;
        event.id = 5; // CustomReply
        event.rig = index + 1;
        event.command = custom.command;
        event.reply->copyFrom(custom.command->get());
        raise(event, custom.server);
        return;
    }
    if (rig.answersPolls && now >= rig.nextPoll) {
        rig.nextPoll = now + ULONGLONG(pollMs);
        poll(index);
    }
}

void StandInState::poll(int index)
{
    StandInRigState &rig = rigs[index];
    const long readable = rig.definition->readable;
    const long freq = (readable & FREQ) ? rig.radioFreq : 0;
    const long freqA = (readable & FREQA) ? rig.radioFreq : 0;
    const long freqB = (readable & FREQB) ? rig.radioFreqB : 0;
    const long mode = (readable & rig.radioMode) && singleBit(rig.radioMode) ? rig.radioMode : UNKNOWN;
    const long tx = (readable & rig.radioTx) && singleBit(rig.radioTx) ? rig.radioTx : UNKNOWN;
    long changed = 0;
    if (freq != rig.freq)
        changed |= FREQ;
    if (freqA != rig.freqA)
        changed |= FREQA;
    if (freqB != rig.freqB)
        changed |= FREQB;
    if (mode != rig.mode)
        changed |= mode;
    if (tx != rig.tx)
        changed |= tx;
    rig.freq = freq;
    rig.freqA = freqA;
    rig.freqB = freqB;
    rig.mode = mode;
    rig.tx = tx;
    ++rig.polls;
    if (changed == 0)
        return;
    StandInEvent event;
    event.id = 4; // ParamsChange
    event.rig = index + 1;
    event.params = changed;
    raise(event);
}

void StandInState::raise(const StandInEvent &event, int toServer)
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
    // A sink may unsubscribe, or a server object go, while it is called.
    std::vector<ComPtr<IDispatch>> current;
    for (const auto &[server, sink] : sinks)
        if (toServer == 0 || server == toServer)
            current.push_back(sink);
    for (const ComPtr<IDispatch> &sink : current)
        sink->Invoke(event.id, IID_NULL, 0, DISPATCH_METHOD, &dispParams, nullptr, nullptr, nullptr);
}

void StandInState::post(StandInEvent event)
{
    g_pending.push_back(std::move(event));
    if (!g_pendingTimer)
        g_pendingTimer = SetTimer(nullptr, 0, 0, raisePending);
}
