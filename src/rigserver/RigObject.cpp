#include "RigObject.h"

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
    m_state = RigWorker::initialState(settings);
    emit rigTypeChanged(m_rigNumber);
    emit statusChanged(m_rigNumber);
}

void RigObject::SetFreq(std::int64_t hertz)
{
    m_worker->queueWrite({RigWorker::Write::Freq, hertz, m_generation});
}

void RigObject::SetMode(std::int32_t mode)
{
    m_worker->queueWrite({RigWorker::Write::Mode, mode, m_generation});
}

void RigObject::take(const RigUpdate &update)
{
    // States of an earlier configuration may still be on their way; they no longer describe this rig.
    if (update.generation != m_generation)
        return;
    const RigState before = m_state;
    m_state = update.state;
    if (m_state.rigType != before.rigType)
        emit rigTypeChanged(m_rigNumber);
    if (m_state.status != before.status || m_state.statusText != before.statusText)
        emit statusChanged(m_rigNumber);
    const std::int32_t params = RigState::changedParams(before, m_state);
    if (params != 0)
        emit paramsChanged(m_rigNumber, params);
}
