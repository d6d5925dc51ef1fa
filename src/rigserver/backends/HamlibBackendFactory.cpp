#include "rigserver/backends/HamlibBackendFactory.h"

#include "rigserver/backends/HamlibBackend.h"
#include "rigserver/backends/HamlibModels.h"
#include "rigserver/backends/RigctldBackend.h"

HamlibBackendFactory::HamlibBackendFactory(RigctldConnection::Resolver resolver) : m_resolver(std::move(resolver)) {}

std::string HamlibBackendFactory::rigType(const RigSettings &settings) const
{
    if (settings.model == RigSettings::RigctldModel)
        return "rigctld " + (settings.port.empty() ? std::string("localhost:4532") : settings.port);
    return HamlibModels::modelName(settings.model);
}

std::unique_ptr<RigBackend> HamlibBackendFactory::create(const RigSettings &settings) const
{
    if (settings.model == RigSettings::RigctldModel)
        return std::make_unique<RigctldBackend>(settings.port, settings.timeoutMs, m_resolver);
    return std::make_unique<HamlibBackend>(settings);
}
