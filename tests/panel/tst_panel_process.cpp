// The panel as a process: one copy at a time, also after the running copy was killed with kill -9, and a
// settings folder that the operator may not write to.
#include "TestSupport.h"

#include <QDir>
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

QTEST_GUILESS_MAIN(TestPanelProcess)
#include "tst_panel_process.moc"
