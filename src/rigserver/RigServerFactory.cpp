#include "RigServerFactory.h"

#include "RigServer.h"
#include "RigServerSettings.h"

RigServerFactory::RigServerFactory(QString settingsPath) : m_settingsPath(std::move(settingsPath)) {}

std::shared_ptr<IOmniRigX> RigServerFactory::GetActiveObject()
{
    return m_running.lock();
}

std::shared_ptr<IOmniRigX> RigServerFactory::CreateInstance()
{
    auto server = std::make_shared<RigServer>(m_settingsPath.isEmpty() ? RigServerSettings::defaultPath()
                                                                        : m_settingsPath);
    m_running = server;
    return server;
}
