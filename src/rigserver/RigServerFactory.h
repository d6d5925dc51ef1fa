// RigServerFactory: how a client finds the rig server. One server runs per process; every client that
// connects while it runs gets that one, and the last client to let go shuts it down.
// Collaborations: puts the layers together: a RigServer (core) on the program's back ends
// (HamlibBackendFactory) with its settings window (RigServerWindow), which the server makes on first use and
// which offers the back ends' model catalogue (HamlibModelCatalogue), and a share per rig (RigShareServer) for
// the programs that use the radios through the rigctld protocol.
// Threads: GUI thread.
#pragma once

#include "omnirig/OmniRig_TLB.h"

#include <QString>

#include <memory>

class RigServer;

class RigServerFactory final : public IOmniRigFactory {
public:
    // An empty settingsPath means the user's default settings file.
    explicit RigServerFactory(QString settingsPath = {});

    std::shared_ptr<IOmniRigX> GetActiveObject() override;
    std::shared_ptr<IOmniRigX> CreateInstance() override;

private:
    QString m_settingsPath;
    std::weak_ptr<RigServer> m_running;
};
