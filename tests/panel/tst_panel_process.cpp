// The panel as a process: one copy at a time, also after the running copy was killed with kill -9, a
// settings folder that the operator may not write to, and the real program ending when its window closes
// although its radios never answer.
#include "SilentPort.h"
#include "TestSupport.h"
#include "XvfbDisplay.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Refusal =
    QStringLiteral("message: VELKOR (1.5) Initialization Failure|Instance of Program Already Running");

// A probe in folder with the given options; its output is read as it comes.
class Probe {
public:
    Probe(const QString &folder, const QStringList &arguments)
    {
        m_process.setWorkingDirectory(folder);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(PANEL_PROBE), arguments);
    }
    ~Probe()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    bool waitFor(const QString &line, int ms = 20000)
    {
        return QTest::qWaitFor(
                   [&] {
                       m_output += m_process.readAllStandardOutput();
                       return output().contains(line) || m_process.state() == QProcess::NotRunning;
                   },
                   ms) &&
               output().contains(line);
    }
    bool waitForExit(int ms = 20000)
    {
        const bool finished = m_process.waitForFinished(ms);
        m_output += m_process.readAllStandardOutput();
        return finished;
    }
    QStringList output() const { return QString::fromUtf8(m_output).split(u'\n', Qt::SkipEmptyParts); }
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    QByteArray m_output;
};

} // namespace

class TestPanelProcess : public QObject {
    Q_OBJECT

private slots:
    void oneCopyAtATime();
    void readOnlyFolder();
    void closingEndsTheProgram();
};

void TestPanelProcess::oneCopyAtATime()
{
    const QStringList options{"--marker",
                              QStringLiteral("VELKOR-test-%1-process").arg(QCoreApplication::applicationPid())};
    QTemporaryDir firstFolder, secondFolder;
    for (int round = 0; round < 3; ++round) {
        Probe first(firstFolder.path(), options);
        QVERIFY2(first.waitFor("started"), qPrintable(first.output().join(u'\n')));
        const QByteArray firstFile = TestSupport::readFileBytes(firstFolder.filePath("VELKOR.INI"));

        Probe second(secondFolder.path(), options);
        QVERIFY(second.waitForExit());
        QCOMPARE(second.process().exitCode(), 1);
        QCOMPARE(second.output(), QStringList{Refusal});
        // It refuses after reading and saving its settings.
        QCOMPARE(TestSupport::readFileBytes(secondFolder.filePath("VELKOR.INI")), firstFile);
        QCOMPARE(first.process().state(), QProcess::Running);
        QCOMPARE(TestSupport::readFileBytes(firstFolder.filePath("VELKOR.INI")), firstFile);

        // kill -9 leaves nothing behind that would keep the next copy out.
        first.process().kill();
        QVERIFY(first.waitForExit());
        Probe third(secondFolder.path(), options);
        QVERIFY2(third.waitFor("started"), qPrintable(third.output().join(u'\n')));
        QVERIFY(!third.output().contains(Refusal));
    }
}

void TestPanelProcess::readOnlyFolder()
{
    QTemporaryDir base;
    const QString folder = base.filePath("settings");
    const QString path = folder + "/VELKOR.INI";
    QVERIFY(QDir().mkdir(folder));
    QCOMPARE(chmod(QFile::encodeName(base.path()).constData(), 0755), 0);
    QCOMPARE(chmod(QFile::encodeName(folder).constData(), 0555), 0);

    Probe probe(base.path(), {"--unprivileged", "--quit", "--", "-F", path});
    QVERIFY(probe.waitForExit());
    if (probe.process().exitCode() == 3)
        QSKIP("cannot run as an unprivileged user here");
    QCOMPARE(probe.process().exitCode(), 0);
    QCOMPARE(probe.output(),
             QStringList({"message: Velkor using OmniRig|Unable to write to " + path + ".", "visible=1"}));
    QVERIFY(!QFile::exists(path));
}

void TestPanelProcess::closingEndsTheProgram()
{
    // A failure, not a skip: the test that did not run must not pass for one that did.
    QVERIFY2(XvfbDisplay::installed(), "Xvfb is not installed (scripts/setup.sh --tests installs it)");
    XvfbDisplay display;
    QVERIFY2(display.start(), "no X display between :80 and :89 could be started");
    // Two Icom IC-7300s on lines with nothing attached: Hamlib waits for them ten seconds at a time.
    SilentPort port1, port2;
    QVERIFY(port1.isOpen() && port2.isOpen());
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath("config/velkor")));
    QFile settings(dir.filePath("config/velkor/rigserver.ini"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write(port1.settingsSection(1) + port2.settingsSection(2));
    settings.close();

    QProcess velkor;
    QProcessEnvironment environment = display.environment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath("config"));
    velkor.setProcessEnvironment(environment);
    velkor.setProcessChannelMode(QProcess::ForwardedChannels);
    velkor.start(QStringLiteral(VELKOR_PROGRAM), {"-F", dir.filePath("VELKOR.INI")});
    quint32 window = 0;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     window = display.findWindow(QStringLiteral("VE2Z"));
                     return window != 0 || velkor.state() == QProcess::NotRunning;
                 },
                 20000) &&
                 window != 0,
             "the panel did not show");
    QVERIFY(port1.waitForQuestion());
    QVERIFY(port2.waitForQuestion());

    QElapsedTimer clock;
    clock.start();
    QVERIFY(display.askToClose(window));
    // Far above the half second it takes: only a program that waits for its radios gets near it.
    QVERIFY2(velkor.waitForFinished(8000), "the program did not end after its window closed");
    QCOMPARE(velkor.exitStatus(), QProcess::NormalExit);
    QCOMPARE(velkor.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestPanelProcess)
#include "tst_panel_process.moc"
