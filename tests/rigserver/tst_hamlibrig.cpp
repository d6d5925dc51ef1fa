// Hamlib radios opened and closed on several threads at once, as both rigs' workers do: Hamlib 4.5 keeps
// one list of opened rigs for the whole process, and this must never leave it broken.
#include "rigserver/backends/HamlibBackend.h"

#include <QTest>

#include <atomic>
#include <thread>
#include <vector>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A TCP port that takes every connection and hangs up at once: a Hamlib network radio behind it is put on
// Hamlib's list and taken off again within a millisecond, the quickest way to churn that list.
class HangingUpPort {
public:
    HangingUpPort()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_socket, reinterpret_cast<sockaddr *>(&address), length) != 0 || ::listen(m_socket, 128) != 0 ||
            ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] {
            for (;;) {
                const int peer = ::accept(m_socket, nullptr, nullptr);
                if (peer < 0)
                    return; // shut down
                ::close(peer);
            }
        });
    }
    ~HangingUpPort()
    {
        ::shutdown(m_socket, SHUT_RDWR);
        if (m_thread.joinable())
            m_thread.join();
        ::close(m_socket);
    }
    int port() const { return m_port; }

private:
    int m_socket = -1;
    int m_port = 0;
    std::thread m_thread;
};

} // namespace

class TestHamlibRig : public QObject {
    Q_OBJECT

private slots:
    void opensAndClosesOnManyThreads();
};

void TestHamlibRig::opensAndClosesOnManyThreads()
{
    HangingUpPort peer;
    QVERIFY(peer.port() != 0);
    RigSettings failing;
    failing.model = RigSettings::RigctldModel; // Hamlib's own network rig here, not our client of it
    failing.port = "127.0.0.1:" + std::to_string(peer.port());
    failing.timeoutMs = 50;
    failing.conf.clear();
    const RigSettings dummy; // opens, then closes: on and off the list by the other way

    constexpr int Threads = 4;
    constexpr int Cycles = 3000;
    std::atomic<int> failingDone{0};
    std::atomic<int> refused{0};
    std::atomic<int> dummyCycles{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t) {
        threads.emplace_back([&, t] {
            if (t == 0) {
                while (failingDone.load() < Threads - 1) {
                    HamlibBackend radio(dummy);
                    if (radio.open() == RigResult::Ok)
                        ++dummyCycles;
                }
                return;
            }
            for (int i = 0; i < Cycles; ++i) {
                HamlibBackend radio(failing);
                if (radio.open() != RigResult::Ok)
                    ++refused;
            }
            ++failingDone;
        });
    }
    for (auto &thread : threads)
        thread.join();
    // Reaching this line is the test; the counts show the opens really ran their course.
    QCOMPARE(refused.load(), (Threads - 1) * Cycles);
    QVERIFY(dummyCycles.load() > 0);
}

QTEST_GUILESS_MAIN(TestHamlibRig)
#include "tst_hamlibrig.moc"
