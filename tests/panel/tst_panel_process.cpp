// The panel as a process: one copy at a time in a user's session, also after the running copy was killed with
// kill -9, never blocked by another session's copy, a settings folder that the operator may not write to, and
// the real program ending when its window closes although its radios never answer.
#include "SilentPort.h"
#include "TestSupport.h"
#include "XvfbDisplay.h"
#include "panel/platform/InstanceMarker.h"

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
    Probe(const QString &folder, const QStringList &arguments, const QString &runtimeFolder = {})
    {
        if (!runtimeFolder.isEmpty()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
            m_process.setProcessEnvironment(environment);
        }
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

// A temporary folder for one session's runtime files, as the login makes it: the user's, closed to others.
class RuntimeFolder {
public:
    explicit RuntimeFolder(mode_t mode = 0700) { chmod(QFile::encodeName(m_dir.path()).constData(), mode); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// Sets an environment variable for one scope; an empty value removes it.
class ScopedVariable {
public:
    ScopedVariable(const char *name, const QString &value)
        : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name))
    {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, QFile::encodeName(value));
    }
    ~ScopedVariable()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    ScopedVariable(const ScopedVariable &) = delete;
    ScopedVariable &operator=(const ScopedVariable &) = delete;

private:
    const char *m_name;
    QByteArray m_old;
    bool m_had;
};

} // namespace

class TestPanelProcess : public QObject {
    Q_OBJECT

private slots:
    void oneCopyAtATime();
    void markBelongsToTheSession_data();
    void markBelongsToTheSession();
    void readOnlyFolder();
    void closingEndsTheProgram();
};

void TestPanelProcess::oneCopyAtATime()
{
    const QStringList options{"--marker",
                              QStringLiteral("VELKOR-test-%1-process").arg(QCoreApplication::applicationPid())};
    QTemporaryDir firstFolder, secondFolder;
    const RuntimeFolder session;
    for (int round = 0; round < 3; ++round) {
        Probe first(firstFolder.path(), options, session.path());
        QVERIFY2(first.waitFor("started"), qPrintable(first.output().join(u'\n')));
        const QByteArray firstFile = TestSupport::readFileBytes(firstFolder.filePath("VELKOR.INI"));

        Probe second(secondFolder.path(), options, session.path());
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
        Probe third(secondFolder.path(), options, session.path());
        QVERIFY2(third.waitFor("started"), qPrintable(third.output().join(u'\n')));
        QVERIFY(!third.output().contains(Refusal));
    }
}

void TestPanelProcess::markBelongsToTheSession_data()
{
    QTest::addColumn<QString>("first");  // the runtime folder of the copy that holds the mark
    QTest::addColumn<QString>("second"); // that of the copy that asks for it
    QTest::addColumn<bool>("refused");

    QTest::newRow("same session") << "A"
                                  << "A" << true;
    QTest::newRow("another user's session") << "A"
                                            << "B" << false;
    QTest::newRow("no runtime folder: a folder of our own") << ""
                                                            << "" << true;
    QTest::newRow("a runtime folder open to others is not used") << "open"
                                                                 << "open" << true;
}

// In one process: a lock on a file is held per opening, so a second opening of the same mark is refused as a
// second process would be.
void TestPanelProcess::markBelongsToTheSession()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, refused);
    const RuntimeFolder a, b, open(0777);
    QTemporaryDir cache;
    const auto folder = [&](const QString &which) {
        return which == "A" ? a.path() : which == "B" ? b.path() : which == "open" ? open.path() : QString();
    };
    const ScopedVariable cacheHome("XDG_CACHE_HOME", cache.path());
    const QString name = QStringLiteral("VELKOR-test-%1-session").arg(QCoreApplication::applicationPid());

    InstanceMarker holder, asker;
    {
        const ScopedVariable runtime("XDG_RUNTIME_DIR", folder(first));
        QVERIFY(holder.claim(name.toStdString()));
    }
    {
        const ScopedVariable runtime("XDG_RUNTIME_DIR", folder(second));
        QCOMPARE(asker.claim(name.toStdString()), !refused);
    }
    // Without a private runtime folder the mark lies in one made for this user alone.
    if (first.isEmpty() || first == "open") {
        struct stat own {};
        QCOMPARE(stat(QFile::encodeName(cache.filePath("velkor")).constData(), &own), 0);
        QVERIFY(S_ISDIR(own.st_mode));
        QCOMPARE(own.st_mode & 077, 0u);
    }
    QVERIFY(QDir(open.path()).isEmpty());
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
