// RigctldConnection: one TCP connection to a rigctld server, with a deadline on every step.
//
// Responsibilities: resolve and connect to "host:port", send one command line and read its framed reply,
// and report failures as RigResult: refused, reset or closed is PortError, no reply in time is Timeout, a
// reply that cannot be one is ProtocolError. A failed transaction leaves the connection closed, so a late
// answer can never be taken for the reply to a later command.
// A host name is looked up on a thread of its own that nobody waits for: the lookup has the same deadline
// as the connection, and abort() or exit can leave a lookup that never answers behind.
// Threads: used by one worker thread; abort() may be called from any thread; a lookup runs on a detached
// thread and shares only its own result with the connection.
#pragma once

#include "rigserver/core/RigBackend.h"
#include "rigserver/rigctld/RigctldProtocol.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct addrinfo;

class RigctldConnection {
public:
    // Looks a host name up as getaddrinfo does (its result is released with freeaddrinfo). Tests give one
    // that never answers, which no real name server can be made to do on demand.
    using Resolver =
        std::function<int(const std::string &host, const std::string &port, const addrinfo &hints, addrinfo **found)>;

    explicit RigctldConnection(Resolver resolver = {});
    ~RigctldConnection();

    RigctldConnection(const RigctldConnection &) = delete;
    RigctldConnection &operator=(const RigctldConnection &) = delete;

    // hostPort as RigctldAddress::splitHostPort reads it.
    RigResult connectTo(const std::string &hostPort, int timeoutMs);
    bool isConnected() const { return m_fd >= 0; }
    void close();

    // Sends "+<command>\n" and reads the reply, whose echo must be expectedName.
    RigResult transact(std::string_view command, std::string_view expectedName, RigctldReply &reply, int timeoutMs);

    void abort();
    std::uint64_t commandCount() const { return m_commands; }

private:
    struct Lookup;
    RigResult resolve(const std::string &host, const std::string &port, std::int64_t deadlineMs,
                      std::shared_ptr<Lookup> &lookup);
    RigResult waitFor(short events, std::int64_t deadlineMs);
    RigResult sendAll(std::string_view data, std::int64_t deadlineMs);

    Resolver m_resolver;
    int m_fd = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::atomic<bool> m_aborted{false};
    std::uint64_t m_commands = 0;
};
