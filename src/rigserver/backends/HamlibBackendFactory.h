// HamlibBackendFactory: the back ends the program drives its radios with. A radio shared by rigctld (model
// 2) is reached through our own client of rigctld's protocol (RigctldBackend); every other model Hamlib
// knows is opened through libhamlib directly (HamlibBackend).
// Collaborations: implements the core's RigBackendFactory; HamlibModels names the radios.
// Threads: any; it keeps nothing that a call changes.
#pragma once

#include "rigserver/backends/RigctldConnection.h"
#include "rigserver/core/RigBackendFactory.h"

class HamlibBackendFactory final : public RigBackendFactory {
public:
    // resolver looks rigctld's host names up; the system's lookup when empty.
    explicit HamlibBackendFactory(RigctldConnection::Resolver resolver = {});

    std::string rigType(const RigSettings &settings) const override;
    std::unique_ptr<RigBackend> create(const RigSettings &settings) const override;

private:
    RigctldConnection::Resolver m_resolver;
};
