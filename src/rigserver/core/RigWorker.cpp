#include "rigserver/core/RigWorker.h"

#include <QThread>

#include <algorithm>
#include <bit>

static_assert(std::tuple_size_v<decltype(RigUpdate::written)> == RigWorker::Write::KindCount);

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
    m_link.close();
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
    m_link.resetBackoff();
    m_reads.reset();
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

RigLink::Spare RigWorker::spareIfKeyed(bool unlessKeyed) const
{
    if (!unlessKeyed)
        return {};
    return [this] { return m_keyer.keyed(); };
}

bool RigWorker::abort(bool unlessKeyed)
{
    return m_link.abort(spareIfKeyed(unlessKeyed));
}

bool RigWorker::interrupt(quint64 generation, bool unlessKeyed)
{
    return m_link.interrupt(generation, spareIfKeyed(unlessKeyed));
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
    m_keyer.letGo();
    m_link.close();
}

void RigWorker::attemptOpen()
{
    if (m_link.aborted() || !configured())
        return;
    const RigResult result = m_link.open(*m_backends, m_settings, m_generation);
    if (result != RigResult::Ok) {
        fail(result);
        return;
    }
    poll();
}

template <typename T, typename Take> RigResult RigWorker::ask(RigResult (RigBackend::*get)(T &), bool retry, Take take)
{
    T answer{};
    const RigResult result = m_link.call([&](RigBackend &radio) { return (radio.*get)(answer); }, retry);
    if (result == RigResult::Ok)
        take(answer);
    return result;
}

RigResult RigWorker::read(RigReadPolicy::Value value, RigState &next, bool retry)
{
    switch (value) {
    case RigReadPolicy::Frequency:
        return ask(&RigBackend::getFreq, retry, [&](std::int64_t hertz) { next.freq = hertz; });
    case RigReadPolicy::Mode:
        return ask(&RigBackend::getMode, retry, [&](std::int32_t mode) { next.mode = mode; });
    default:
        return ask(&RigBackend::getPtt, retry,
                   [&](bool transmitting) { next.tx = transmitting ? OmniRig::PM_TX : OmniRig::PM_RX; });
    }
}

bool RigWorker::pollOnce(RigState &next)
{
    m_reads.beginPoll();
    for (const RigReadPolicy::Value value : m_reads.order()) {
        if (!m_reads.asks(value, m_link.caps()))
            continue;
        // A write the operator just made goes before the rest of the poll.
        if (!runWrites(&next))
            return false;
        const RigResult result = read(value, next, m_reads.retries());
        if (!m_reads.take(value, result)) {
            fail(result);
            return false;
        }
    }
    next.readable = m_reads.readable(m_link.caps());
    if (!m_reads.asks(RigReadPolicy::Ptt, m_link.caps()))
        next.tx = 0;
    return true;
}

void RigWorker::poll()
{
    if (!m_link.isOpen() || m_link.aborted())
        return;
    const RigResult unkeyed = m_keyer.unkeyAskedWhileAway();
    if (unkeyed != RigResult::Ok && !refusedSoftly(unkeyed)) {
        fail(unkeyed);
        return;
    }
    RigState next = m_state;
    if (!pollOnce(next))
        return;
    const RigCaps &caps = m_link.caps();
    next.rigType = caps.rigType.empty() ? next.rigType : caps.rigType;
    next.txWritable = caps.canSetPtt;
    next.setStatus(OmniRig::ST_ONLINE);
    m_link.resetBackoff();
    publish(next);
    m_pollTimer.start(m_settings.pollMs);
}

void RigWorker::fail(RigResult result)
{
    m_pollTimer.stop();
    m_link.close();
    RigState next = m_state;
    next.setStatus(result == RigResult::Timeout || result == RigResult::ProtocolError ? OmniRig::ST_NOTRESPONDING
                                                                                      : OmniRig::ST_PORTBUSY);
    publish(next);
    scheduleReopen();
}

void RigWorker::scheduleReopen()
{
    if (m_link.aborted())
        return;
    m_reopenTimer.start(m_link.nextBackoffMs());
}

void RigWorker::publish(const RigState &state, bool always)
{
    if (state == m_state && m_written == m_writtenPublished && !always)
        return;
    m_state = state;
    m_writtenPublished = m_written;
    emit published(RigUpdate{m_state, m_generation, m_written});
}

void RigWorker::queueWrite(const Write &write)
{
    if (m_writes.push(write))
        QMetaObject::invokeMethod(this, &RigWorker::flushWrites, Qt::QueuedConnection);
}

void RigWorker::flushWrites()
{
    runWrites(nullptr);
}

bool RigWorker::runWrites(RigState *inPoll)
{
    const std::vector<Write> writes = m_writes.take();
    if (writes.empty())
        return true;
    for (const Write &write : writes) {
        m_written[write.kind] = std::max(m_written[write.kind], write.sequence);
        // Writes for an earlier configuration, or while the radio is away, are dropped, as OmniRig does; but
        // a radio we keyed may still be keyed when it comes back, and is unkeyed then if that was asked last.
        if (write.generation != m_generation)
            continue;
        if (!m_link.isOpen() || m_state.status != OmniRig::ST_ONLINE) {
            if (write.kind == Write::Ptt)
                m_keyer.askedWhileAway(write.value != 0);
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
        } else if (!refusedSoftly(*result)) {
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
    const RigCaps &caps = m_link.caps();
    switch (write.kind) {
    case Write::Freq:
        if (!caps.canSetFreq || write.value <= 0)
            return std::nullopt;
        next.freq = write.value;
        return m_link.call([&](RigBackend &radio) { return radio.setFreq(write.value); });
    case Write::Mode: {
        const auto mode = static_cast<std::int32_t>(write.value);
        if (!caps.canSetMode || !writableMode(mode))
            return std::nullopt;
        next.mode = mode;
        return m_link.call([&](RigBackend &radio) { return radio.setMode(mode); });
    }
    case Write::Ptt:
        if (!caps.canSetPtt)
            return std::nullopt;
        // A radio that does not tell its transmit state is not shown one.
        if (m_reads.asks(RigReadPolicy::Ptt, caps))
            next.tx = write.value != 0 ? OmniRig::PM_TX : OmniRig::PM_RX;
        return m_keyer.key(write.value != 0);
    default:
        return std::nullopt;
    }
}
