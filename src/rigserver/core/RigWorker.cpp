#include "rigserver/core/RigWorker.h"

#include "rigserver/core/RigServerLog.h"

#include <QThread>

#include <algorithm>
#include <bit>

namespace {

constexpr int FirstBackoffMs = 250;
// Reopen attempts back off to this at most, so a radio that comes back is on line within a couple of seconds.
constexpr int MaxBackoffMs = 1000;
// Polls in a row in which one value goes unanswered while others are answered, before it is no longer asked.
constexpr int MaxStrikes = 3;

static_assert(std::tuple_size_v<decltype(RigUpdate::written)> == RigWorker::Write::KindCount);

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
    // Normally shutdown() has let go of the radio already. This may run on the GUI thread, where nothing
    // may wait for a radio, so a radio still open here is only closed.
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
    letGo();
    m_settings = settings;
    m_generation = generation;
    m_hasSettings = true;
    m_backoffMs = 0;
    m_readOrder = {Frequency, ModeValue, PttValue};
    m_strikes = {};
    m_dropped = {};
    m_freqKnown = false;
    m_unkeyWhenBack = false;
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

bool RigWorker::abort(bool unlessKeyed)
{
    std::lock_guard lock(m_backendMutex);
    if (unlessKeyed && m_keyed)
        return false;
    m_aborted = true;
    if (m_backend)
        m_backend->abort();
    return true;
}

bool RigWorker::interrupt(quint64 generation, bool unlessKeyed)
{
    std::lock_guard lock(m_backendMutex);
    if (unlessKeyed && m_keyed)
        return false;
    // A cut that comes late, after a newer one, must not lift what the newer one cut.
    if (generation > m_interruptedBefore)
        m_interruptedBefore = generation;
    if (m_backend && m_backendGeneration < generation)
        m_backend->abort();
    return true;
}

void RigWorker::shutdown()
{
    m_pollTimer.stop();
    m_reopenTimer.stop();
    letGo();
    QThread::currentThread()->quit();
}

void RigWorker::letGo()
{
    // Nobody would unkey the radio after us. One try: a radio that does not answer now is let go anyway.
    if (m_keyed && m_open) {
        if (retried([this] { return m_backend->setPtt(false); }, false) != RigResult::Ok)
            qCWarning(lcRigServer) << "could not unkey the radio before letting go of it";
    }
    m_keyed = false;
    closeBackend();
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
        m_backendGeneration = m_generation;
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
            m_dropped[PttValue] = true; // a PTT type without read-back: stop asking
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
                    (asks(ModeValue) ? OmniRig::PM_MODES : 0) | (asks(PttValue) ? OmniRig::PM_RX | OmniRig::PM_TX : 0);
    if (!asks(PttValue))
        next.tx = 0;
    return true;
}

void RigWorker::poll()
{
    if (!m_open || m_aborted || !unkeyAskedWhileAway())
        return;
    RigState next = m_state;
    const bool ok = pollOnce(next);
    if (!ok)
        return;
    next.rigType = m_backend->caps().rigType.empty() ? next.rigType : m_backend->caps().rigType;
    next.txWritable = m_backend->caps().canSetPtt;
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
        // Writes for an earlier configuration, or while the radio is away, are dropped, as OmniRig does; but
        // a radio we keyed may still be keyed when it comes back, and is unkeyed then if that was asked last.
        if (write.generation != m_generation)
            continue;
        if (!m_open || m_state.status != OmniRig::ST_ONLINE) {
            if (write.kind == Write::Ptt)
                m_unkeyWhenBack = write.value == 0 && m_keyed;
            continue;
        }
        RigState next = m_state;
        const std::optional<RigResult> result = send(write, next);
        if (!result)
            continue;
        if (*result == RigResult::Ok) {
            // The radio took it: show it now rather than spend a poll on reading it back; the next regular
            // poll still reads what the radio really made of it. A poll under way must not undo it with
            // what it read before.
            if (inPoll) {
                inPoll->freq = write.kind == Write::Freq ? next.freq : inPoll->freq;
                inPoll->mode = write.kind == Write::Mode ? next.mode : inPoll->mode;
                inPoll->tx = write.kind == Write::Ptt ? next.tx : inPoll->tx;
            }
            publish(next);
        } else if (*result != RigResult::NotAvailable && *result != RigResult::Rejected) {
            fail(*result);
            return false;
        }
    }
    // Also when nothing changed: the rig object stops showing writes the radio refused.
    publish(m_state);
    return true;
}

std::optional<RigResult> RigWorker::send(const Write &write, RigState &next)
{
    const RigCaps &caps = m_backend->caps();
    switch (write.kind) {
    case Write::Freq:
        if (!caps.canSetFreq || write.value <= 0)
            return std::nullopt;
        next.freq = write.value;
        return retried([&] { return m_backend->setFreq(write.value); });
    case Write::Mode: {
        const auto mode = static_cast<std::int32_t>(write.value);
        if (!caps.canSetMode || !writableMode(mode))
            return std::nullopt;
        next.mode = mode;
        return retried([&] { return m_backend->setMode(mode); });
    }
    case Write::Ptt:
        if (!caps.canSetPtt)
            return std::nullopt;
        // A radio that does not tell its transmit state is not shown one.
        if (asks(PttValue))
            next.tx = write.value != 0 ? OmniRig::PM_TX : OmniRig::PM_RX;
        return key(write.value != 0);
    default:
        return std::nullopt;
    }
}

bool RigWorker::unkeyAskedWhileAway()
{
    if (!m_unkeyWhenBack)
        return true;
    m_unkeyWhenBack = false;
    const RigResult result = key(false);
    if (result == RigResult::Ok || result == RigResult::NotAvailable || result == RigResult::Rejected)
        return true;
    fail(result);
    return false;
}

RigResult RigWorker::key(bool transmit)
{
    const bool wasKeyed = m_keyed;
    if (transmit) {
        // Keyed before the command goes, under the lock a cut takes: a cut either comes first, and nothing is
        // sent, or sees the radio keyed and spares it for the unkeying.
        std::lock_guard lock(m_backendMutex);
        if (m_aborted || m_interruptedBefore.load() > m_generation)
            return RigResult::PortError;
        m_keyed = true;
    }
    const RigResult result = retried([&] { return m_backend->setPtt(transmit); });
    // A command that went unanswered may have been taken: the radio counts as keyed until it took an unkey.
    if (result == RigResult::Ok)
        m_keyed = transmit;
    else if (result == RigResult::NotAvailable || result == RigResult::Rejected)
        m_keyed = wasKeyed;
    return result;
}
