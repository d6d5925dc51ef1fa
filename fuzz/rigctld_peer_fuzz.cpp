// libFuzzer target: whatever a rigctld peer sends, the rig server neither crashes nor reads out of bounds,
// and every state it publishes is one a client may see. The first byte chooses the way in:
//  - bit 7 set: the reply reader and the value parsers on their own, the bytes fed in pieces of any size;
//  - bit 7 clear: the whole path. A peer on loopback answers each command that the real RigctldBackend
//    sends with the next reply of the input (replies are separated by NUL bytes); the real RigWorker opens
//    the radio, polls it and writes to it (bits 0 and 1 ask for a frequency and a mode write once it is on
//    line), and every RigState it publishes is checked.
#include "rigserver/backends/HamlibBackendFactory.h"
#include "rigserver/core/RigSettings.h"
#include "rigserver/core/RigWorker.h"
#include "rigserver/rigctld/RigModes.h"
#include "rigserver/rigctld/RigctldAddress.h"
#include "rigserver/rigctld/RigctldProtocol.h"

#include <QCoreApplication>

#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::int64_t MaxHertz = 1000000000000;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void readerAlone(std::string_view bytes, unsigned char choice)
{
    if (bytes.empty())
        return;
    static const char *const names[] = {"get_freq", "get_mode", "get_ptt", "set_freq", "set_mode", "dump_caps"};
    const std::string expected = names[choice % 6];
    const std::size_t piece = 1 + static_cast<unsigned char>(bytes[0]) % 64;
    bytes.remove_prefix(1);

    RigctldReplyReader reader(expected);
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        reader.feed(bytes.substr(at, piece));
    if (reader.state() == RigctldReplyReader::State::Complete) {
        const RigctldReply &reply = reader.reply();
        check(reply.records.size() <= RigctldReplyReader::MaxRecords);
        for (const auto &[key, value] : reply.records) {
            check(key.size() <= RigctldReplyReader::MaxLine && value.size() <= RigctldReplyReader::MaxLine);
            if (const auto hertz = RigctldValues::parseFrequency(value))
                check(*hertz >= 0 && *hertz <= MaxHertz);
            RigctldValues::parsePtt(value);
            RigModes::flagFromName(value);
        }
    }
    std::string host, port;
    RigctldAddress::splitHostPort(std::string(bytes.substr(0, 300)), host, port);
}

// The long name rigctld echoes for one of the commands the back end sends.
std::string echoOf(std::string_view command)
{
    if (command.starts_with("+\\dump_caps"))
        return "dump_caps";
    if (command == "+f")
        return "get_freq";
    if (command == "+m")
        return "get_mode";
    if (command == "+t")
        return "get_ptt";
    if (command.starts_with("+F "))
        return "set_freq";
    if (command.starts_with("+M "))
        return "set_mode";
    return {};
}

// A peer on a loopback port, served by a thread of its own: each round it takes one connection and answers
// its commands with the round's replies. It hangs up when the replies run out, and after a reply the
// client's reader would still wait on, so no round waits for a timeout.
class ScriptedPeer {
public:
    ScriptedPeer()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        check(m_listener >= 0 && ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
              ::listen(m_listener, 4) == 0 &&
              ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) == 0);
        m_port = ntohs(address.sin_port);
        std::thread([this] { serve(); }).detach();
    }

    int port() const { return m_port; }

    // Gives the next round its replies, once the last round has ended.
    void begin(std::deque<std::string> replies)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_busy; });
        m_replies = std::move(replies);
        m_busy = true;
        m_changed.notify_all();
    }

    bool busy()
    {
        std::lock_guard lock(m_mutex);
        return m_busy;
    }

private:
    void serve()
    {
        for (;;) {
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this] { return m_busy; });
            }
            pollfd waiting{m_listener, POLLIN, 0};
            if (::poll(&waiting, 1, 2000) == 1) {
                const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
                if (connection >= 0) {
                    answer(connection);
                    ::close(connection);
                }
            }
            std::lock_guard lock(m_mutex);
            m_busy = false;
            m_changed.notify_all();
        }
    }

    void answer(int connection)
    {
        std::string received;
        char chunk[4096];
        for (;;) {
            std::size_t newline;
            while ((newline = received.find('\n')) == std::string::npos) {
                pollfd readable{connection, POLLIN, 0};
                if (::poll(&readable, 1, 2000) != 1)
                    return;
                const ssize_t n = ::recv(connection, chunk, sizeof chunk, 0);
                if (n <= 0)
                    return;
                received.append(chunk, static_cast<std::size_t>(n));
            }
            const std::string command = received.substr(0, newline);
            received.erase(0, newline + 1);
            std::string reply;
            {
                std::lock_guard lock(m_mutex);
                if (m_replies.empty())
                    return;
                reply = std::move(m_replies.front());
                m_replies.pop_front();
            }
            if (::send(connection, reply.data(), reply.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(reply.size()))
                return;
            RigctldReplyReader reader(echoOf(command));
            if (reader.feed(reply) == RigctldReplyReader::State::NeedMore)
                return;
        }
    }

    int m_listener = -1;
    int m_port = 0;
    std::mutex m_mutex; // guards the round's state against the peer's thread
    std::condition_variable m_changed;
    bool m_busy = false;
    std::deque<std::string> m_replies;
};

void checkState(const RigState &state)
{
    check(state.status >= OmniRig::ST_NOTCONFIGURED && state.status <= OmniRig::ST_ONLINE);
    check(state.statusText == OmniRig::statusText(state.status));
    check(state.freq >= 0 && state.freq <= MaxHertz);
    check(state.mode == 0 || !RigModes::nameFromFlag(state.mode).empty());
    check(state.tx == 0 || state.tx == OmniRig::PM_RX || state.tx == OmniRig::PM_TX);
    check((state.readable & ~(OmniRig::PM_FREQ | OmniRig::PM_MODES | OmniRig::PM_RX | OmniRig::PM_TX)) == 0);
    check(state.rigType.size() <= 2 * RigctldReplyReader::MaxLine + 32);
}

void wholePath(std::string_view bytes, unsigned char flags)
{
    // Never destroyed: its thread waits on it until the process ends.
    static ScriptedPeer &peer = *new ScriptedPeer;
    std::deque<std::string> replies;
    for (;;) {
        const std::size_t end = bytes.find('\0');
        replies.emplace_back(bytes.substr(0, end));
        if (end == std::string_view::npos)
            break;
        bytes.remove_prefix(end + 1);
    }
    peer.begin(std::move(replies));

    RigSettings settings;
    settings.model = RigSettings::RigctldModel;
    settings.port = "127.0.0.1:" + std::to_string(peer.port());
    settings.pollMs = 0;
    settings.timeoutMs = 200;
    RigWorker worker(std::make_shared<HamlibBackendFactory>());
    bool wrote = false;
    QObject::connect(&worker, &RigWorker::published, [&](const RigUpdate &update) {
        checkState(update.state);
        if (update.state.status == OmniRig::ST_ONLINE && !wrote) {
            wrote = true;
            if (flags & 1)
                worker.queueWrite({RigWorker::Write::Freq, 7074000, update.generation});
            if (flags & 2)
                worker.queueWrite({RigWorker::Write::Mode, OmniRig::PM_DIG_U, update.generation});
        }
    });
    worker.configure(settings, 1);
    worker.start();
    for (int round = 0; round < 64 && peer.busy(); ++round)
        QCoreApplication::processEvents();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char *>(data + 1), size - 1);
    if (data[0] & 0x80)
        readerAlone(bytes, data[0]);
    else
        wholePath(bytes, data[0]);
    return 0;
}
