// RigctldBackend: a radio shared by rigctld, reached through our own client of its line protocol.
// Hamlib's own network back end keeps the remote rig's details in capabilities that all its handles
// share, so two of them in one process break each other; this client keeps everything per connection.
// Threads: the rig's worker thread; abort() from any thread.
#pragma once

#include "rigserver/backends/RigctldConnection.h"
#include "rigserver/core/RigBackend.h"

#include <string_view>

class RigctldBackend final : public RigBackend {
public:
    // The rig type of a radio whose rigctld does not name it: Hamlib's own name for its network rig.
    static constexpr std::string_view UnnamedRadio = "NET rigctl";

    RigctldBackend(std::string hostPort, int timeoutMs, RigctldConnection::Resolver resolver = {});

    RigResult open() override;
    void close() override;
    const RigCaps &caps() const override { return m_caps; }

    RigResult getFreq(std::int64_t &hertz) override;
    RigResult setFreq(std::int64_t hertz) override;
    RigResult getMode(std::int32_t &modeFlag) override;
    RigResult setMode(std::int32_t modeFlag) override;
    RigResult getPtt(bool &transmitting) override;
    RigResult setPtt(bool transmit) override;

    void abort() override { m_connection.abort(); }
    std::uint64_t commandCount() const override { return m_connection.commandCount(); }

private:
    RigResult run(std::string_view command, std::string_view name, RigctldReply &reply);

    std::string m_hostPort;
    int m_timeoutMs;
    RigctldConnection m_connection;
    RigCaps m_caps;
};
