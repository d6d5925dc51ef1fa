#include "RigObject.h"

#include "RigModes.h"

RigObject::RigObject(int rigNumber, const RigSettings &settings, BackendFactory factory, QObject *parent)
    : QObject(parent), m_rigNumber(rigNumber), m_settings(settings), m_state(RigWorker::initialState(settings)),
      m_worker(new RigWorker(std::move(factory)))
{
    qRegisterMetaType<RigUpdate>();
    m_thread.setObjectName(QStringLiteral("Rig%1").arg(rigNumber));
    m_worker->moveToThread(&m_thread);
    connect(m_worker, &RigWorker::published, this, &RigObject::take, Qt::QueuedConnection);
    m_thread.start();
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, settings, generation] { w->configure(settings, generation); }, Qt::QueuedConnection);
}

RigObject::~RigObject()
{
    m_worker->abort();
    QMetaObject::invokeMethod(m_worker, &RigWorker::shutdown, Qt::QueuedConnection);
    m_thread.wait();
    delete m_worker;
}

void RigObject::start()
{
    QMetaObject::invokeMethod(m_worker, &RigWorker::start, Qt::QueuedConnection);
}

void RigObject::configure(const RigSettings &settings)
{
    m_settings = settings;
    const quint64 generation = ++m_generation;
    QMetaObject::invokeMethod(
        m_worker, [w = m_worker, settings, generation] { w->configure(settings, generation); }, Qt::QueuedConnection);
    const std::int32_t readableBefore = m_state.readable;
    m_state = RigWorker::initialState(settings);
    m_freqWrite.reset();
    m_modeWrite.reset();
    emit rigTypeChanged(m_rigNumber);
    emit statusChanged(m_rigNumber);
    // The values read under the old settings are gone: a status such as "Rig is disabled" alone does not say
    // so to a client, the parameters event does.
    const std::int32_t lost = readableBefore & ~m_state.readable;
    if (lost != 0)
        emit paramsChanged(m_rigNumber, lost);
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
    if (!RigModes::nameFromFlag(mode).empty() && m_state.status == OmniRig::ST_ONLINE)
        m_modeWrite = PendingWrite{mode, sequence};
    m_worker->queueWrite({RigWorker::Write::Mode, mode, m_generation, sequence});
}

RigState RigObject::shown() const
{
    RigState state = m_state;
    if (m_freqWrite)
        state.freq = m_freqWrite->value;
    if (m_modeWrite)
        state.mode = static_cast<std::int32_t>(m_modeWrite->value);
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
