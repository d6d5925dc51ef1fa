#include "rigserver/core/RigWorker.h"

#include <QThread>

#include <algorithm>
#include <bit>

namespace {

constexpr int FirstBackoffMs = 250;
// Reopen attempts back off to this at most, so a radio that comes back is on line within a couple of seconds.
constexpr int MaxBackoffMs = 1000;
// Polls in a row in which one value goes unanswered while others are answered, before it is no longer asked.
constexpr int MaxStrikes = 3;

} // namespace

RigWorker::RigWorker(std::shared_ptr<const RigBackendFactory> backends) : m_backends(std::move(backends))
{
    m_pollTimer.setSingleShot(true);
    m_reopenTimer.setSingleShot(true);
    // Children move to the worker thread with the worker; being members, they are gone before ~QObject.
    m_pollTimer.setParent(this);
    m_reopenTimer.setParent(this);
    connect(&m_pollTimer, &QTimer::timeout, this, &RigWorker::poll);
    connect(&m_reopenTimer, &QTimer::timeout, this, &RigWorker::attemptOpen);
}

RigWorker::~RigWorker()
{
    closeBackend();
}

RigState RigWorker::initialState(const RigSettings &settings, const RigBackendFactory &backends)
{
    RigState state;
    if (settings.model != RigSettings::NoRig)
        state.rigType = backends.rigType(settings);
    if (state.rigType.empty()) {
        // No rig, or a model no back end can drive: show it as no rig at all.
        state.rigType = "NONE";
        state.setStatus(OmniRig::ST_NOTCONFIGURED);
        return state;
    }
    state.setStatus(settings.enabled ? OmniRig::ST_NOTRESPONDING : OmniRig::ST_DISABLED);
    return state;
}

bool RigWorker::writableMode(std::int32_t mode)
{
    return (mode & OmniRig::PM_MODES) == mode && std::has_single_bit(static_cast<std::uint32_t>(mode));
}

bool RigWorker::configured() const
{
    return m_hasSettings && m_state.status != OmniRig::ST_NOTCONFIGURED && m_state.status != OmniRig::ST_DISABLED;
}

void RigWorker::configure(const RigSettings &settings, quint64 generation)
{
    m_pollTimer.stop();
    m_reopenTimer.stop();
    closeBackend();
    m_settings = settings;
    m_generation = generation;
    m_hasSettings = true;
    m_backoffMs = 0;
    m_readOrder = {Frequency, ModeValue, Ptt};
    m_strikes = {};
    m_dropped = {};
    m_freqKnown = false;
    publish(initialState(settings, *m_backends), true);
    if (m_started && configured())
        attemptOpen();
}

void RigWorker::start()
{
    if (m_started)
        return;
    m_started = true;
    if (configured())
        attemptOpen();
}

void RigWorker::abort()
{
    m_aborted = true;
    std::lock_guard lock(m_backendMutex);
    if (m_backend)
        m_backend->abort();
}

void RigWorker::interrupt(quint64 generation)
{
    m_interruptedBefore = generation;
    std::lock_guard lock(m_backendMutex);
    if (m_backend)
        m_backend->abort();
}

void RigWorker::shutdown()
{
    m_pollTimer.stop();
    m_reopenTimer.stop();
    closeBackend();
    QThread::currentThread()->quit();
}

void RigWorker::closeBackend()
{
    // Closing may talk to the radio, so the back end stays where abort() can reach it until it is closed.
    if (m_backend && m_open)
        m_backend->close();
    m_open = false;
    std::unique_ptr<RigBackend> old;
    {
        std::lock_guard lock(m_backendMutex);
        old = std::move(m_backend);
    }
}

void RigWorker::attemptOpen()
{
    if (m_aborted || !configured())
        return;
    closeBackend();
    std::unique_ptr<RigBackend> backend = m_backends->create(m_settings);
    if (!backend) {
        fail(RigResult::PortError);
        return;
    }
    {
        std::lock_guard lock(m_backendMutex);
        m_backend = std::move(backend);
        // abort() or interrupt() may have come while it was made.
        if (m_aborted || m_interruptedBefore.load() > m_generation)
            m_backend->abort();
    }
    m_backendCommands = 0;
    const RigResult result = m_backend->open();
    tallyCommands();
    if (result != RigResult::Ok) {
        fail(result);
        return;
    }
    m_open = true;
    poll();
}

template <typename Call> RigResult RigWorker::retried(Call call, bool retry)
{
    // One reply lost on a noisy line is not a dead radio: ask once more before saying so.
    RigResult result = call();
    tallyCommands();
    if (result == RigResult::Timeout && retry && !m_aborted) {
        result = call();
        tallyCommands();
    }
    return result;
}

bool RigWorker::asks(Value value) const
{
    const RigCaps &caps = m_backend->caps();
    const bool can = value == Frequency ? caps.canGetFreq : value == ModeValue ? caps.canGetMode : caps.canGetPtt;
    return can && !m_dropped[value];
}

RigResult RigWorker::read(Value value, RigState &next, bool retry)
{
    switch (value) {
    case Frequency: {
        std::int64_t freq = 0;
        const RigResult result = retried([&] { return m_backend->getFreq(freq); }, retry);
        if (result == RigResult::Ok) {
            next.freq = freq;
            m_freqKnown = true;
        }
        return result;
    }
    case ModeValue: {
        std::int32_t mode = 0;
        const RigResult result = retried([&] { return m_backend->getMode(mode); }, retry);
        if (result == RigResult::Ok)
            next.mode = mode;
        return result;
    }
    default: {
        bool transmitting = false;
        const RigResult result = retried([&] { return m_backend->getPtt(transmitting); }, retry);
        if (result == RigResult::Ok)
            next.tx = transmitting ? OmniRig::PM_TX : OmniRig::PM_RX;
        else if (result == RigResult::NotAvailable)
            m_dropped[Ptt] = true; // a PTT type without read-back: stop asking
        return result;
    }
    }
}

bool RigWorker::pollOnce(RigState &next)
{
    bool answered = false;   // a read of this poll was answered
    bool unanswered = false; // ... or went unanswered
    const auto order = m_readOrder;
    for (const Value value : order) {
        if (!asks(value))
            continue;
        // A write the operator just made goes before the rest of the poll.
        if (!runWrites(&next))
            return false;
        // After one value went unanswered, the next is asked once: a radio switched off in the middle of a
        // poll is not waited for twice per value.
        const RigResult result = read(value, next, !unanswered);
        // A value the radio cannot give, or refuses once, keeps what we knew.
        if (result == RigResult::Ok) {
            answered = true;
            m_strikes[value] = 0;
        } else if (result == RigResult::Timeout) {
            // Asked last from now on, so that a radio which answers the other values is heard first.
            std::stable_partition(m_readOrder.begin(), m_readOrder.end(), [value](Value v) { return v != value; });
            // The radio is gone when nothing answered before, or when a second value goes unanswered that had
            // always been answered. Otherwise it is this value the radio does not give, and after a few polls
            // of that it is no longer asked for.
            const bool gone = !answered || (unanswered && m_strikes[value] == 0);
            ++m_strikes[value];
            if (gone) {
                fail(result);
                return false;
            }
            unanswered = true;
            if (m_strikes[value] >= MaxStrikes)
                m_dropped[value] = true;
        } else if (result != RigResult::NotAvailable && result != RigResult::Rejected) {
            fail(result);
            return false;
        }
    }
    // A frequency the radio never gave is not one to offer: a copy would send 0 Hz plus the offset.
    next.readable = (asks(Frequency) && m_freqKnown ? OmniRig::PM_FREQ : 0) |
                    (asks(ModeValue) ? OmniRig::PM_MODES : 0) | (asks(Ptt) ? OmniRig::PM_RX | OmniRig::PM_TX : 0);
    if (!asks(Ptt))
        next.tx = 0;
    return true;
}

void RigWorker::poll()
{
    if (!m_open || m_aborted)
        return;
    RigState next = m_state;
    const bool ok = pollOnce(next);
    if (!ok)
        return;
    next.rigType = m_backend->caps().rigType.empty() ? next.rigType : m_backend->caps().rigType;
    next.setStatus(OmniRig::ST_ONLINE);
    m_backoffMs = 0;
    publish(next);
    m_pollTimer.start(m_settings.pollMs);
}

void RigWorker::fail(RigResult result)
{
    m_pollTimer.stop();
    closeBackend();
    RigState next = m_state;
    next.setStatus(result == RigResult::Timeout || result == RigResult::ProtocolError ? OmniRig::ST_NOTRESPONDING
                                                                                        : OmniRig::ST_PORTBUSY);
    publish(next);
    scheduleReopen();
}

void RigWorker::scheduleReopen()
{
    if (m_aborted)
        return;
    m_backoffMs = m_backoffMs == 0 ? FirstBackoffMs : std::min(m_backoffMs * 2, MaxBackoffMs);
    m_reopenTimer.start(m_backoffMs);
}

void RigWorker::publish(const RigState &state, bool always)
{
    if (state == m_state && m_written == m_writtenPublished && !always)
        return;
    m_state = state;
    m_writtenPublished = m_written;
    emit published(RigUpdate{m_state, m_generation, m_written});
}

void RigWorker::tallyCommands()
{
    if (!m_backend)
        return;
    const std::uint64_t now = m_backend->commandCount();
    m_commands.fetch_add(now - m_backendCommands);
    m_backendCommands = now;
}

void RigWorker::queueWrite(const Write &write)
{
    std::lock_guard lock(m_writesMutex);
    const auto same = std::find_if(m_writes.begin(), m_writes.end(),
                                   [&](const Write &pending) { return pending.kind == write.kind; });
    if (same != m_writes.end())
        *same = write;
    else
        m_writes.push_back(write);
    if (!m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(this, &RigWorker::flushWrites, Qt::QueuedConnection);
    }
}

void RigWorker::flushWrites()
{
    runWrites(nullptr);
}

bool RigWorker::runWrites(RigState *inPoll)
{
    std::vector<Write> writes;
    {
        std::lock_guard lock(m_writesMutex);
        writes.swap(m_writes);
        m_flushQueued = false;
    }
    if (writes.empty())
        return true;
    for (const Write &write : writes) {
        m_written[write.kind] = std::max(m_written[write.kind], write.sequence);
        // Writes for an earlier configuration, or while the radio is away, are dropped, as OmniRig does.
        if (write.generation != m_generation || !m_open || m_state.status != OmniRig::ST_ONLINE)
            continue;
        const RigCaps &caps = m_backend->caps();
        RigState next = m_state;
        RigResult result = RigResult::Ok;
        if (write.kind == Write::Freq && caps.canSetFreq && write.value > 0) {
            result = retried([&] { return m_backend->setFreq(write.value); });
            next.freq = write.value;
        } else if (write.kind == Write::Mode && caps.canSetMode &&
                   writableMode(static_cast<std::int32_t>(write.value))) {
            result = retried([&] { return m_backend->setMode(static_cast<std::int32_t>(write.value)); });
            next.mode = static_cast<std::int32_t>(write.value);
        } else {
            continue;
        }
        if (result == RigResult::Ok) {
            // The radio took it: show it now rather than spend a poll on reading it back; the next regular
            // poll still reads what the radio really made of it. A poll under way must not undo it with
            // what it read before.
            if (inPoll && write.kind == Write::Freq)
                inPoll->freq = next.freq;
            else if (inPoll)
                inPoll->mode = next.mode;
            publish(next);
        } else if (result != RigResult::NotAvailable && result != RigResult::Rejected) {
            fail(result);
            return false;
        }
    }
    // Also when nothing changed: the rig object stops showing writes the radio refused.
    publish(m_state);
    return true;
}
