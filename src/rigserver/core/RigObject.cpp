#include "rigserver/core/RigObject.h"

#include <QTimer>

#include <atomic>
#include <memory>
#include <mutex>

namespace {

// How long destruction waits for a worker to let go of its radio. Cutting a radio call short takes a few
// dozen milliseconds; both rigs of a server wait at once, so the program ends well within half a second.
constexpr int StopWaitMs = 300;
// How long a radio we keyed gets to take the unkey at shutdown before it is cut; with the cut's own wait, a
// keyed radio that hangs still lets the program end within half a second.
constexpr int UnkeyWaitMs = 200;

std::atomic<int> g_abandonedThreads{0};

} // namespace

RigObject::RigObject(int rigNumber, const RigSettings &settings, std::shared_ptr<const RigBackendFactory> backends,
                     QObject *parent)
    : QObject(parent), m_rigNumber(rigNumber), m_settings(settings), m_backends(std::move(backends)),
      m_state(RigWorker::initialState(settings, *m_backends)), m_thread(std::make_unique<QThread>()),
      m_worker(new RigWorker(m_backends))
{
    qRegisterMetaType<RigUpdate>();
    m_thread->setObjectName(QStringLiteral("Rig%1").arg(rigNumber));
    m_worker->moveToThread(m_thread.get());
    connect(m_worker, &RigWorker::published, this, &RigObject::take, Qt::QueuedConnection);
    m_thread->start();
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, settings, generation] { w->configure(settings, generation); }, Qt::QueuedConnection);
}

RigObject::~RigObject()
{
    stop();
    cutAfterUnkeying();
    if (m_thread->wait(m_stopDeadline)) {
        delete m_worker;
        return;
    }
    // The worker is still inside a radio call that would not end. Waiting for it would hang the program,
    // and neither it nor its thread may be destroyed while it runs: both go once the call returns, and
    // the program may end before that.
    ++g_abandonedThreads;
    QThread *thread = m_thread.release();
    const auto once = std::make_shared<std::once_flag>();
    const auto cleanUp = [thread, worker = m_worker, once] {
        std::call_once(*once, [&] {
            delete worker;
            thread->deleteLater();
            --g_abandonedThreads;
        });
    };
    // On the worker's own thread as it finishes, or here if it has finished already.
    connect(thread, &QThread::finished, thread, cleanUp, Qt::DirectConnection);
    if (thread->wait(QDeadlineTimer(0)))
        cleanUp();
}

void RigObject::stop()
{
    if (m_stopDeadline.isForever()) {
        // A radio we keyed is not cut short at once: shutting down unkeys it first.
        m_cutAtStop = !m_worker->abort(true);
        m_stopDeadline.setRemainingTime(m_cutAtStop ? UnkeyWaitMs : StopWaitMs);
        QMetaObject::invokeMethod(m_worker, &RigWorker::shutdown, Qt::QueuedConnection);
    }
}

void RigObject::cutAfterUnkeying()
{
    if (!m_cutAtStop)
        return;
    m_cutAtStop = false;
    if (m_thread->wait(m_stopDeadline))
        return;
    // The keyed radio had its moment to be told to receive; whatever still holds the worker is cut now.
    m_worker->abort();
    m_stopDeadline.setRemainingTime(StopWaitMs);
}

int RigObject::abandonedThreads()
{
    return g_abandonedThreads.load();
}

void RigObject::start()
{
    QMetaObject::invokeMethod(m_worker, &RigWorker::start, Qt::QueuedConnection);
}

void RigObject::configure(const RigSettings &settings)
{
    // Sharing the rig or not does not concern its radio, which is left as it is.
    if (settings.sameRadio(m_settings)) {
        m_settings = settings;
        return;
    }
    m_settings = settings;
    const quint64 generation = ++m_generation;
    // The old radio may be in the middle of a call that takes seconds to time out. Cut before the new
    // configuration is queued; the worker never lets the cut reach the new radio. A radio we keyed is given
    // a moment to be unkeyed first, and cut after it.
    if (!m_worker->interrupt(generation, true))
        QTimer::singleShot(UnkeyWaitMs, this, [w = m_worker, generation] { w->interrupt(generation); });
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, settings, generation] { w->configure(settings, generation); }, Qt::QueuedConnection);
    const std::int32_t readableBefore = m_state.readable;
    m_state = RigWorker::initialState(settings, *m_backends);
    m_freqWrite.reset();
    m_modeWrite.reset();
    m_txWrite.reset();
    emit rigTypeChanged(m_rigNumber);
    emit statusChanged(m_rigNumber);
    // The values read under the old settings are gone: a status such as "Rig is disabled" alone does not say
    // so to a client, the parameters event does.
    const std::int32_t lost = readableBefore & ~m_state.readable;
    if (lost != 0)
        emit paramsChanged(m_rigNumber, lost);
}

bool RigObject::IsParamWriteable(std::int32_t param)
{
    if (m_state.status == OmniRig::ST_NOTCONFIGURED || m_state.status == OmniRig::ST_DISABLED)
        return false;
    std::int32_t writeable = OmniRig::PM_FREQ | OmniRig::PM_MODES;
    if (m_state.txWritable)
        writeable |= OmniRig::PM_RX | OmniRig::PM_TX;
    return param != 0 && (writeable & param) == param;
}

void RigObject::SetFreq(std::int64_t hertz)
{
    const quint64 sequence = ++m_writeCounts[RigWorker::Write::Freq];
    // Only a write that can reach the radio is shown: the worker sends nothing for 0 Hz or while off line.
    if (hertz > 0 && m_state.status == OmniRig::ST_ONLINE)
        m_freqWrite = PendingWrite{hertz, sequence};
    m_worker->queueWrite({RigWorker::Write::Freq, hertz, m_generation, sequence});
}

void RigObject::SetMode(std::int32_t mode)
{
    const quint64 sequence = ++m_writeCounts[RigWorker::Write::Mode];
    if (RigWorker::writableMode(mode) && m_state.status == OmniRig::ST_ONLINE)
        m_modeWrite = PendingWrite{mode, sequence};
    m_worker->queueWrite({RigWorker::Write::Mode, mode, m_generation, sequence});
}

void RigObject::SetTx(std::int32_t pm)
{
    if (pm != OmniRig::PM_TX && pm != OmniRig::PM_RX)
        return;
    const quint64 sequence = ++m_writeCounts[RigWorker::Write::Ptt];
    // Shown only where the worker will send it and read it back: a radio that cannot be keyed keeps its
    // transmit state, and one that does not tell it shows none.
    if (m_state.txWritable && (m_state.readable & OmniRig::PM_TX) != 0 && m_state.status == OmniRig::ST_ONLINE)
        m_txWrite = PendingWrite{pm, sequence};
    m_worker->queueWrite({RigWorker::Write::Ptt, pm == OmniRig::PM_TX ? 1 : 0, m_generation, sequence});
}

RigState RigObject::shown() const
{
    RigState state = m_state;
    if (m_freqWrite)
        state.freq = m_freqWrite->value;
    if (m_modeWrite)
        state.mode = static_cast<std::int32_t>(m_modeWrite->value);
    if (m_txWrite)
        state.tx = static_cast<std::int32_t>(m_txWrite->value);
    return state;
}

void RigObject::take(const RigUpdate &update)
{
    // States of an earlier configuration may still be on their way; they no longer describe this rig.
    if (update.generation != m_generation)
        return;
    const RigState before = m_state;
    const RigState shownBefore = shown();
    m_state = update.state;
    if (m_freqWrite && update.written[RigWorker::Write::Freq] >= m_freqWrite->sequence)
        m_freqWrite.reset();
    if (m_modeWrite && update.written[RigWorker::Write::Mode] >= m_modeWrite->sequence)
        m_modeWrite.reset();
    if (m_txWrite && update.written[RigWorker::Write::Ptt] >= m_txWrite->sequence)
        m_txWrite.reset();
    if (m_state.rigType != before.rigType)
        emit rigTypeChanged(m_rigNumber);
    if (m_state.status != before.status || m_state.statusText != before.statusText)
        emit statusChanged(m_rigNumber);
    // What the radio reported changed, or what clients were shown did (a refused write went back).
    const std::int32_t params =
        RigState::changedParams(before, m_state) | RigState::changedParams(shownBefore, shown());
    if (params != 0)
        emit paramsChanged(m_rigNumber, params);
}
