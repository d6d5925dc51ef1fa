#include "rigserver/share/RigShareServer.h"

RigShareServer::RigShareServer(RigObject &rig, ShareLimits limits) : m_rig(rig), m_limits(limits)
{
    m_thread.setObjectName(QStringLiteral("Rig%1Share").arg(rig.rigNumber()));
    connect(&m_rig, &RigObject::rigTypeChanged, this, &RigShareServer::refresh);
    connect(&m_rig, &RigObject::statusChanged, this, &RigShareServer::refresh);
    connect(&m_rig, &RigObject::paramsChanged, this, &RigShareServer::refresh);
}

RigShareServer::~RigShareServer()
{
    // The listener's thread never waits on anything, so it ends at once; its sockets close with it.
    m_thread.quit();
    m_thread.wait();
}

void RigShareServer::startListener()
{
    m_listener = new ShareListener(m_view, m_limits);
    m_listener->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_listener, &QObject::deleteLater);
    connect(m_listener, &ShareListener::writeRequested, this, &RigShareServer::runWrite);
    connect(m_listener, &ShareListener::clientsChanged, this, [this](int count) {
        m_clients = count;
        emit changed();
    });
    connect(m_listener, &ShareListener::turnedAwayChanged, this, [this](int count) {
        m_turnedAway = count;
        emit changed();
    });
    connect(m_listener, &ShareListener::problemChanged, this, [this](const QString &problem) {
        m_problem = problem;
        emit changed();
    });
    m_thread.start();
}

void RigShareServer::configure(const RigSettings &settings)
{
    const QString address = settings.share ? QString::fromStdString(settings.shareAddress) : QString();
    const quint16 port = settings.share ? static_cast<quint16>(settings.sharePort) : 0;
    const bool moved = address != m_address || port != m_port;
    m_address = address;
    m_port = port;
    refresh();
    if (!moved)
        return;
    if (!m_listener)
        startListener();
    QMetaObject::invokeMethod(
        m_listener, [listener = m_listener, address, port] { listener->listen(address, port); }, Qt::QueuedConnection);
}

void RigShareServer::refresh()
{
    if (!m_listener && m_address.isEmpty())
        return; // nobody reads the view; configure() fills it before the first program can connect
    SharedRig rig;
    rig.status = m_rig.Status();
    rig.freq = m_rig.Freq();
    rig.mode = m_rig.Mode();
    rig.tx = m_rig.Tx();
    rig.readable = m_rig.ReadableParams();
    rig.txWritable = m_rig.state().txWritable;
    rig.rigType = m_rig.RigType();
    rig.model = m_rig.settings().model;
    m_view->set(std::move(rig));
}

void RigShareServer::runWrite(quint64 ticket, int kind, qint64 value)
{
    // The rig may have gone off line since the program's command was read. An unkey still goes to the rig,
    // which sends it once the radio is back if the radio may still be keyed: the program that asked for it
    // may have hung up meanwhile.
    const int code = RigctldResponder::statusError(m_rig.Status());
    if (code == 0 || (kind == SharedWrite::Ptt && value == 0)) {
        if (kind == SharedWrite::Freq)
            m_rig.SetFreq(value);
        else if (kind == SharedWrite::Mode)
            m_rig.SetMode(static_cast<std::int32_t>(value));
        else
            m_rig.SetTx(value != 0 ? OmniRig::PM_TX : OmniRig::PM_RX);
        refresh();
    }
    QMetaObject::invokeMethod(
        m_listener, [listener = m_listener, ticket, code] { listener->finishWrite(ticket, code); },
        Qt::QueuedConnection);
}
