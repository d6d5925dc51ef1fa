#include "InstanceMarker.h"

#include <QLocalServer>

namespace {

QString &nameSlot()
{
    static QString name = QStringLiteral("VELKOR");
    return name;
}

} // namespace

InstanceMarker::InstanceMarker(QObject *parent) : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
}

QString InstanceMarker::defaultName()
{
    return nameSlot();
}

void InstanceMarker::setDefaultName(const QString &name)
{
    nameSlot() = name;
}

bool InstanceMarker::claim(const QString &name)
{
    if (m_server->isListening())
        return true;
    return m_server->listen(name) || m_server->serverError() != QAbstractSocket::AddressInUseError;
}

bool InstanceMarker::isHeld() const
{
    return m_server->isListening();
}
