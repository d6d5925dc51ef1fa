// Letting go of radios that never answer: a serial radio on a line with nothing attached, and a rigctld host
// whose name lookup never ends. Closing the rig server and choosing another radio must not wait for them.
// The bounds asserted here only catch a hang; the figures themselves are measured in bench/.
#include "EventLog.h"
#include "FakeRigctld.h"
#include "SilentPort.h"
#include "rigserver/backends/HamlibBackendFactory.h"
#include "rigserver/core/RigObject.h"
#include "rigserver/core/RigServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <condition_variable>
#include <memory>
#include <mutex>

#include <netdb.h>

namespace {

// Far above any wait the rig server may make: only a hang gets near it.
constexpr int HangMs = 5000;

// The back ends the program drives its radios with.
std::shared_ptr<const RigBackendFactory> backends()
{
    return std::make_shared<HamlibBackendFactory>();
}

// An Icom IC-7300, whose Hamlib back end keeps rig_open busy for many timeouts when the radio is silent.
RigSettings silentRadio(const SilentPort &port)
{
    RigSettings settings;
    settings.model = 3073;
    settings.port = port.path().toStdString();
    settings.timeoutMs = 10000;
    settings.conf.clear();
    return settings;
}

// A name lookup that does not answer until the test lets it (or a minute has passed).
class StuckLookup {
public:
    RigctldConnection::Resolver resolver()
    {
        return [state = m_state](const std::string &, const std::string &, const addrinfo &, addrinfo **) {
            std::unique_lock lock(state->mutex);
            ++state->entered;
            state->released.wait_for(lock, std::chrono::minutes(1), [&] { return state->open; });
            return EAI_AGAIN;
        };
    }
    std::shared_ptr<const RigBackendFactory> factory() { return std::make_shared<HamlibBackendFactory>(resolver()); }
    int entered() const
    {
        std::lock_guard lock(m_state->mutex);
        return m_state->entered;
    }
    ~StuckLookup()
    {
        std::lock_guard lock(m_state->mutex);
        m_state->open = true;
        m_state->released.notify_all();
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable released;
        bool open = false;
        int entered = 0;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

RigSettings overNamedHost(const std::string &hostPort, int timeoutMs)
{
    RigSettings settings;
    settings.model = RigSettings::RigctldModel;
    settings.port = hostPort;
    settings.pollMs = 100;
    settings.timeoutMs = timeoutMs;
    return settings;
}

} // namespace

class TestRigTeardown : public QObject {
    Q_OBJECT

private slots:
    void closingLetsGoOfSilentRadios();
    void reconfigurationLetsGoOfSilentRadio();
    void lookupThatNeverAnswers();
    void hostNameIsLookedUp();
};

void TestRigTeardown::closingLetsGoOfSilentRadios()
{
    SilentPort port1, port2;
    QVERIFY(port1.isOpen() && port2.isOpen());
    QTemporaryDir dir;
    QFile file(dir.filePath("rigserver.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(port1.settingsSection(1) + port2.settingsSection(2));
    file.close();

    auto server = std::make_unique<RigServer>(file.fileName(), backends());
    EventLog log;
    server->Advise(&log);
    // Both radios have been asked something and wait for answers that never come.
    QVERIFY(port1.waitForQuestion());
    QVERIFY(port2.waitForQuestion());
    QElapsedTimer clock;
    clock.start();
    server.reset();
    QVERIFY2(clock.elapsed() < HangMs, qPrintable(QStringLiteral("closing took %1 ms").arg(clock.elapsed())));
    // Nothing is left running in a radio call.
    QTRY_COMPARE_WITH_TIMEOUT(RigObject::abandonedThreads(), 0, HangMs);
}

void TestRigTeardown::reconfigurationLetsGoOfSilentRadio()
{
    SilentPort port;
    QVERIFY(port.isOpen());
    RigObject rig(1, silentRadio(port), backends());
    rig.start();
    QVERIFY(port.waitForQuestion());
    rig.configure(RigSettings{});
    QTRY_COMPARE_WITH_TIMEOUT(rig.Status(), std::int32_t(OmniRig::ST_ONLINE), HangMs);
    QCOMPARE(rig.RigType(), std::string("Dummy"));
}

void TestRigTeardown::lookupThatNeverAnswers()
{
    StuckLookup lookup;
    {
        // The lookup has the connection's deadline.
        RigObject rig(1, overNamedHost("rigctld.invalid:4532", 300), lookup.factory());
        rig.start();
        QTRY_COMPARE_WITH_TIMEOUT(rig.StatusStr(), std::string("Port is not available"), HangMs);
    }
    auto rig = std::make_unique<RigObject>(1, overNamedHost("rigctld.invalid:4532", 30000), lookup.factory());
    rig->start();
    const int entered = lookup.entered();
    QTRY_VERIFY_WITH_TIMEOUT(lookup.entered() > entered, HangMs);
    QElapsedTimer clock;
    clock.start();
    rig.reset();
    QVERIFY2(clock.elapsed() < HangMs, qPrintable(QStringLiteral("closing took %1 ms").arg(clock.elapsed())));
    QTRY_COMPARE_WITH_TIMEOUT(RigObject::abandonedThreads(), 0, HangMs);
}

void TestRigTeardown::hostNameIsLookedUp()
{
    FakeRigctld peer;
    peer.setScript(FakeRigctld::healthy);
    RigObject rig(1, overNamedHost(QStringLiteral("localhost:%1").arg(peer.port()).toStdString(), 2000), backends());
    rig.start();
    QTRY_COMPARE_WITH_TIMEOUT(rig.Status(), std::int32_t(OmniRig::ST_ONLINE), HangMs);
    QCOMPARE(rig.Freq(), std::int64_t(14074000));
}

QTEST_GUILESS_MAIN(TestRigTeardown)
#include "tst_rigteardown.moc"
