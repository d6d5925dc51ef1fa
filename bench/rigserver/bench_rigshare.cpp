// Figures of a rig shared through the rigctld protocol: how many reads it serves with four programs polling
// as fast as they can, what that costs the radio (its commands per poll), and how long a program's frequency
// write takes to be answered and to reach the radio, beside the same write sent to rigctld directly.
// The radio is Hamlib's Dummy behind a real rigctld, reached through a relay that counts its commands.
#include "CountingProxy.h"
#include "RigctldProcess.h"
#include "rigserver/backends/HamlibBackendFactory.h"
#include "rigserver/core/RigObject.h"
#include "rigserver/share/RigShareServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int PollMs = 200;

// A blocking client of the rigctld protocol, for threads other than the GUI thread, which must keep running
// to take the share's writes.
class LineSocket {
public:
    explicit LineSocket(quint16 port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        const timeval timeout{5, 0};
        const int one = 1;
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        if (::connect(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~LineSocket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    LineSocket(const LineSocket &) = delete;
    LineSocket &operator=(const LineSocket &) = delete;

    bool send(std::string_view text)
    {
        while (m_fd >= 0 && !text.empty()) {
            const ssize_t sent = ::send(m_fd, text.data(), text.size(), MSG_NOSIGNAL);
            if (sent <= 0)
                return false;
            text.remove_prefix(static_cast<std::size_t>(sent));
        }
        return m_fd >= 0;
    }
    // The next line without its end; false when the server hung up or said nothing for 5 s.
    bool readLine(std::string &line)
    {
        for (;;) {
            if (const std::size_t end = m_buffer.find('\n'); end != std::string::npos) {
                line.assign(m_buffer, 0, end);
                m_buffer.erase(0, end + 1);
                return true;
            }
            char chunk[4096];
            const ssize_t got = m_fd >= 0 ? ::recv(m_fd, chunk, sizeof chunk, 0) : -1;
            if (got <= 0)
                return false;
            m_buffer.append(chunk, static_cast<std::size_t>(got));
        }
    }

private:
    int m_fd = -1;
    std::string m_buffer;
};

std::shared_ptr<const RigBackendFactory> backends()
{
    return std::make_shared<HamlibBackendFactory>();
}

// Event processing without QTest::qWait, which sleeps between its rounds.
void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs work on a thread of its own while the GUI thread's events go on.
template <typename Work> void runBeside(Work work)
{
    std::atomic<bool> done = false;
    std::thread thread([&] {
        work();
        done = true;
    });
    while (!done)
        spin(5);
    thread.join();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// A Dummy behind rigctld, its commands counted, as a rig of the rig server, shared on a free port.
struct SharedDummy {
    RigctldProcess rigctld{1};
    CountingProxy proxy{rigctld.port()};
    std::unique_ptr<RigObject> rig;
    std::unique_ptr<RigShareServer> share;
    quint16 port = RigctldProcess::freePort();

    bool start()
    {
        if (!rigctld.start() || !proxy.start()) {
            std::printf("  (%s)\n", qPrintable(rigctld.error()));
            return false;
        }
        RigSettings settings;
        settings.model = RigSettings::RigctldModel;
        settings.port = proxy.hostPort().toStdString();
        settings.pollMs = PollMs;
        settings.conf.clear();
        settings.share = true;
        settings.sharePort = port;
        rig = std::make_unique<RigObject>(1, settings, backends());
        share = std::make_unique<RigShareServer>(*rig);
        share->configure(settings);
        rig->start();
        if (!QTest::qWaitFor([&] { return rig->Status() == OmniRig::ST_ONLINE; }, 10000)) {
            std::printf("  (the rig did not come on line: %s)\n", rig->StatusStr().c_str());
            return false;
        }
        return true;
    }

    // The radio's commands per poll since the last call: as rigctld received them, counted over whole polls
    // (from one frequency read, which starts each poll, to the last), and about as the rig object counts them.
    std::pair<double, double> commandsPerPoll()
    {
        const QStringList commands = proxy.commands();
        proxy.clear();
        const std::uint64_t counted = rig->commandCount() - std::exchange(m_counted, rig->commandCount());
        const qsizetype first = commands.indexOf(QStringLiteral("+f"));
        const qsizetype last = commands.lastIndexOf(QStringLiteral("+f"));
        const auto polls = double(commands.count(QStringLiteral("+f")));
        if (polls < 2)
            return {0.0, 0.0};
        return {double(last - first) / (polls - 1), double(counted) / polls};
    }

private:
    std::uint64_t m_counted = 0;
};

void readsServed(int clients, int outstanding)
{
    SharedDummy shared;
    if (!shared.start())
        return;
    spin(1000);
    shared.commandsPerPoll();
    spin(3000);
    const auto idle = shared.commandsPerPoll();

    const std::string expected = std::to_string(shared.rig->Freq());
    std::atomic<bool> stop = false;
    std::atomic<long> answers = 0, wrong = 0, failed = 0;
    QElapsedTimer clock;
    runBeside([&] {
        std::vector<std::thread> threads;
        clock.start();
        for (int i = 0; i < clients; ++i) {
            threads.emplace_back([&] {
                LineSocket socket(shared.port);
                std::string line;
                bool ok = true;
                for (int k = 0; k < outstanding && ok; ++k)
                    ok = socket.send("f\n");
                while (ok && !stop) {
                    ok = socket.readLine(line) && socket.send("f\n");
                    ++answers;
                    wrong += ok && line != expected;
                }
                failed += !ok;
            });
        }
        std::this_thread::sleep_for(std::chrono::seconds(3));
        stop = true;
        for (std::thread &thread : threads)
            thread.join();
    });
    const double seconds = clock.nsecsElapsed() / 1e9;
    const auto busy = shared.commandsPerPoll();
    std::printf("  %d clients, %2d reads outstanding each: %9.0f reads/s (target >= 10000); %ld wrong answers, "
                "%ld clients failed\n",
                clients, outstanding, double(answers) / seconds, long(wrong), long(failed));
    std::printf("    radio's commands per poll (target <= 3): idle %.2f, while they poll %.2f; as the rig object "
                "counts them: about %.2f, %.2f\n",
                idle.first, busy.first, idle.second, busy.second);
}

struct WriteTimes {
    std::vector<double> reply;
    std::vector<double> radio;
};

// Sends F to `port` on a thread of its own and times its reply and the moment rigctld's Dummy reports it.
void timeWrite(quint16 port, quint16 rigctldPort, qint64 hertz, WriteTimes &times)
{
    runBeside([&] {
        LineSocket client(port);
        LineSocket probe(rigctldPort);
        const std::string wanted = std::to_string(hertz);
        std::string line;
        const auto start = std::chrono::steady_clock::now();
        const auto since = [&] {
            return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        };
        if (!client.send("F " + wanted + "\n") || !client.readLine(line) || line != "RPRT 0") {
            std::printf("  (F %s answered \"%s\")\n", wanted.c_str(), line.c_str());
            return;
        }
        times.reply.push_back(since());
        while (probe.send("f\n") && probe.readLine(line) && line != wanted && since() < 10000) {
        }
        times.radio.push_back(since());
    });
}

void writeLatency()
{
    SharedDummy shared;
    if (!shared.start())
        return;
    constexpr int Rounds = 15;
    WriteTimes viaShare, direct;
    for (int i = 0; i < Rounds; ++i) {
        timeWrite(shared.port, shared.rigctld.port(), 14000000 + 1000 * i, viaShare);
        timeWrite(shared.rigctld.port(), shared.rigctld.port(), 7000000 + 1000 * i, direct);
    }
    const double shareRadio = median(viaShare.radio), directRadio = median(direct.radio);
    std::printf("A client's F (median of %d; poll interval %d ms):\n", Rounds, PollMs);
    std::printf("  %-32s reply %7.2f ms, radio has it %7.2f ms\n", "through the share (rig server)",
                median(viaShare.reply), shareRadio);
    std::printf("  %-32s reply %7.2f ms, radio has it %7.2f ms\n", "straight to rigctld -m 1", median(direct.reply),
                directRadio);
    std::printf("  the radio has it %.2f ms later through the share; one radio command (rigctld's F) takes %.2f ms "
                "(target: within one command)\n",
                shareRadio - directRadio, median(direct.reply));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::printf("Reads served by one shared rig (Dummy behind rigctld), 3 s each:\n");
    readsServed(4, 1);
    readsServed(4, 16);
    writeLatency();
    return 0;
}
