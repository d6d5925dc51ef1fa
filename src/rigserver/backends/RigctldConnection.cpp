#include "rigserver/backends/RigctldConnection.h"

#include "rigserver/core/RigServerLog.h"
#include "rigserver/rigctld/RigctldAddress.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Lookups that have not answered; a name server that never answers must not gather threads without end.
std::atomic<int> g_pendingLookups{0};
constexpr int MaxPendingLookups = 8;

} // namespace

// One host name lookup, shared by the thread that runs it and the connection that waits for it; whichever
// lets go last frees it, so a connection may stop waiting at any time.
struct RigctldConnection::Lookup {
    Lookup()
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
            doneRead = fds[0];
            doneWrite = fds[1];
        }
    }
    ~Lookup()
    {
        if (found)
            ::freeaddrinfo(found);
        for (const int fd : {doneRead, doneWrite})
            if (fd >= 0)
                ::close(fd);
    }
    Lookup(const Lookup &) = delete;
    Lookup &operator=(const Lookup &) = delete;

    int doneRead = -1; // readable once the lookup has answered
    int doneWrite = -1;
    std::mutex mutex; // guards the answer below against the waiting connection
    bool answered = false;
    int status = EAI_FAIL;
    addrinfo *found = nullptr;
};

RigctldConnection::RigctldConnection(Resolver resolver) : m_resolver(std::move(resolver))
{
    if (!m_resolver) {
        m_resolver = [](const std::string &host, const std::string &port, const addrinfo &hints, addrinfo **found) {
            return ::getaddrinfo(host.c_str(), port.c_str(), &hints, found);
        };
    }
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_wakeRead = fds[0];
        m_wakeWrite = fds[1];
    }
}

RigctldConnection::~RigctldConnection()
{
    close();
    if (m_wakeRead >= 0)
        ::close(m_wakeRead);
    if (m_wakeWrite >= 0)
        ::close(m_wakeWrite);
}

void RigctldConnection::abort()
{
    m_aborted = true;
    if (m_wakeWrite >= 0) {
        const char byte = 1;
        [[maybe_unused]] const auto n = ::write(m_wakeWrite, &byte, 1);
    }
}

void RigctldConnection::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

RigResult RigctldConnection::waitFor(short events, std::int64_t deadlineMs)
{
    for (;;) {
        if (m_aborted)
            return RigResult::PortError;
        const std::int64_t left = deadlineMs - nowMs();
        if (left <= 0)
            return RigResult::Timeout;
        pollfd fds[2] = {{m_fd, events, 0}, {m_wakeRead, POLLIN, 0}};
        const int n = ::poll(fds, m_wakeRead >= 0 ? 2 : 1, static_cast<int>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return RigResult::PortError;
        if (n == 0)
            return RigResult::Timeout;
        if (fds[1].revents != 0)
            return RigResult::PortError;
        if (fds[0].revents & (events | POLLHUP | POLLERR))
            return RigResult::Ok;
    }
}

RigResult RigctldConnection::resolve(const std::string &host, const std::string &port, std::int64_t deadlineMs,
                                     std::shared_ptr<Lookup> &lookup)
{
    lookup = std::make_shared<Lookup>();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // An address needs no name server: answered at once, without a thread.
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    const int numeric = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &lookup->found);
    if (numeric == 0)
        return lookup->found ? RigResult::Ok : RigResult::PortError;
    if (numeric != EAI_NONAME || lookup->doneRead < 0 || g_pendingLookups.load() >= MaxPendingLookups)
        return RigResult::PortError;

    hints.ai_flags = AI_NUMERICSERV;
    ++g_pendingLookups;
    try {
        std::thread([lookup, resolver = m_resolver, host, port, hints] {
            addrinfo *found = nullptr;
            const int status = resolver(host, port, hints, &found);
            {
                std::lock_guard lock(lookup->mutex);
                lookup->status = status;
                lookup->found = found;
                lookup->answered = true;
            }
            --g_pendingLookups;
            const char byte = 1;
            [[maybe_unused]] const auto n = ::write(lookup->doneWrite, &byte, 1);
        }).detach();
    } catch (const std::system_error &) {
        --g_pendingLookups;
        return RigResult::PortError;
    }

    for (;;) {
        if (m_aborted)
            return RigResult::PortError;
        const std::int64_t left = deadlineMs - nowMs();
        if (left <= 0)
            return RigResult::PortError; // no address in time: as good as none
        pollfd fds[2] = {{lookup->doneRead, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
        const int n = ::poll(fds, m_wakeRead >= 0 ? 2 : 1, static_cast<int>(left));
        if (n < 0 && errno != EINTR)
            return RigResult::PortError;
        if (n > 0 && fds[0].revents != 0)
            break;
    }
    std::lock_guard lock(lookup->mutex);
    return lookup->answered && lookup->status == 0 && lookup->found ? RigResult::Ok : RigResult::PortError;
}

RigResult RigctldConnection::connectTo(const std::string &hostPort, int timeoutMs)
{
    close();
    std::string host, port;
    if (!RigctldAddress::splitHostPort(hostPort, host, port))
        return RigResult::PortError;
    // The lookup and the connection share one deadline.
    const std::int64_t deadline = nowMs() + timeoutMs;
    std::shared_ptr<Lookup> lookup;
    RigResult result = resolve(host, port, deadline, lookup);
    if (result != RigResult::Ok)
        return result;
    result = RigResult::PortError;
    for (addrinfo *ai = lookup->found; ai; ai = ai->ai_next) {
        m_fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, ai->ai_protocol);
        if (m_fd < 0)
            continue;
        if (::connect(m_fd, ai->ai_addr, ai->ai_addrlen) == 0) {
            result = RigResult::Ok;
        } else if (errno == EINPROGRESS) {
            result = waitFor(POLLOUT, deadline);
            int error = 0;
            socklen_t length = sizeof error;
            if (result == RigResult::Ok &&
                (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0))
                result = RigResult::PortError;
        }
        if (result == RigResult::Ok)
            break;
        close();
        if (result == RigResult::Timeout)
            break;
    }
    if (result == RigResult::Ok) {
        const int one = 1;
        ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    return result;
}

RigResult RigctldConnection::sendAll(std::string_view data, std::int64_t deadlineMs)
{
    while (!data.empty()) {
        const ssize_t n = ::send(m_fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (n > 0) {
            data.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const RigResult ready = waitFor(POLLOUT, deadlineMs);
            if (ready != RigResult::Ok)
                return ready;
            continue;
        }
        return RigResult::PortError;
    }
    return RigResult::Ok;
}

RigResult RigctldConnection::transact(std::string_view command, std::string_view expectedName, RigctldReply &reply,
                                      int timeoutMs)
{
    if (m_fd < 0 || m_aborted)
        return RigResult::PortError;
    const std::int64_t deadline = nowMs() + timeoutMs;
    std::string line;
    line.reserve(command.size() + 2);
    line += '+';
    line += command;
    line += '\n';
    ++m_commands;
    RigResult result = sendAll(line, deadline);

    // Bytes after the end of the reply are dropped; a peer that keeps sending them fails the next echo.
    RigctldReplyReader reader{std::string(expectedName)};
    char chunk[4096];
    while (result == RigResult::Ok && reader.state() == RigctldReplyReader::State::NeedMore) {
        result = waitFor(POLLIN, deadline);
        if (result != RigResult::Ok)
            break;
        const ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
        if (n == 0) {
            result = RigResult::PortError;
        } else if (n < 0) {
            if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)
                result = RigResult::PortError;
        } else {
            reader.feed(std::string_view(chunk, static_cast<std::size_t>(n)));
        }
    }
    if (result == RigResult::Ok && reader.state() == RigctldReplyReader::State::Malformed) {
        qCDebug(lcRigServer, "rigctld reply to %s refused: %s", std::string(expectedName).c_str(),
                reader.error().c_str());
        result = RigResult::ProtocolError;
    }
    if (result != RigResult::Ok) {
        close();
        return result;
    }
    reply = reader.reply();
    return RigResult::Ok;
}
