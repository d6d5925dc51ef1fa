#include "rigserver/RigServerFactory.h"

#include "rigserver/backends/HamlibBackendFactory.h"
#include "rigserver/backends/HamlibModelCatalogue.h"
#include "rigserver/core/RigServer.h"
#include "rigserver/core/RigServerSettings.h"
#include "rigserver/share/RigShareServer.h"
#include "rigserver/window/RigServerWindow.h"

RigServerFactory::RigServerFactory(QString settingsPath) : m_settingsPath(std::move(settingsPath))
{
}

std::shared_ptr<IOmniRigX> RigServerFactory::GetActiveObject()
{
    return m_running.lock();
}

std::shared_ptr<IOmniRigX> RigServerFactory::CreateInstance()
{
    auto models = std::make_shared<const HamlibModelCatalogue>();
    auto server = std::make_shared<RigServer>(
        m_settingsPath.isEmpty() ? RigServerSettings::defaultPath() : m_settingsPath,
        std::make_shared<HamlibBackendFactory>(),
        [models](RigServer &owner) { return std::make_unique<RigServerWindow>(&owner, models); },
        [](RigObject &rig) { return std::make_unique<RigShareServer>(rig); });
    m_running = server;
    return server;
}
