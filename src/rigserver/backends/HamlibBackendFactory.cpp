#include "rigserver/backends/HamlibBackendFactory.h"

#include "rigserver/backends/HamlibBackend.h"
#include "rigserver/backends/HamlibModels.h"
#include "rigserver/backends/RigctldBackend.h"

HamlibBackendFactory::HamlibBackendFactory(RigctldConnection::Resolver resolver) : m_resolver(std::move(resolver)) {}

std::string HamlibBackendFactory::rigType(const RigSettings &settings) const
{
    // Until rigctld has told which radio it shares, the rig is Hamlib's network rig.
    if (settings.model == RigSettings::RigctldModel)
        return std::string(RigctldBackend::UnnamedRadio);
    return HamlibModels::shortName(settings.model);
}

std::unique_ptr<RigBackend> HamlibBackendFactory::create(const RigSettings &settings) const
{
    if (settings.model == RigSettings::RigctldModel)
        return std::make_unique<RigctldBackend>(settings.port, settings.timeoutMs, m_resolver);
    return std::make_unique<HamlibBackend>(settings);
}
