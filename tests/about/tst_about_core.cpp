// The About component's showing rules on the core alone, through a face that logs what it is told: what a
// real box cannot be made to do (fail while it is shown, receive a late countdown) and what it cannot tell
// (that it was brought to the front).
#include "about/core/AboutCore.h"

#include <QtTest>

#include <functional>
#include <stdexcept>

namespace {

class LoggingFace : public AboutFace {
public:
    QStringList log;
    QString failAt;               // "create", "fill" or "show": that step throws
    std::function<void()> during; // runs inside each showing

    std::unique_ptr<Box> createBox() override
    {
        if (failAt == "create")
            throw std::runtime_error("create");
        const int number = ++m_boxes;
        log << QString("create %1").arg(number);
        return std::make_unique<LoggingBox>(*this, number);
    }
    void startCountdown(int milliseconds, std::uint64_t showing) override
    {
        log << QString("start %1 #%2").arg(milliseconds).arg(showing);
    }
    void stopCountdown() noexcept override { log << "stop"; }

private:
    class LoggingBox : public Box {
    public:
        LoggingBox(LoggingFace &face, int number) : m_face(face), m_number(number) {}
        ~LoggingBox() override { note("release"); }
        void fill(const AboutTexts &) override
        {
            note("fill");
            if (m_face.failAt == "fill")
                throw std::runtime_error("fill");
        }
        int showModal() override
        {
            note("show");
            if (m_face.failAt == "show")
                throw std::runtime_error("show");
            if (m_face.during)
                m_face.during();
            return 1;
        }
        void raise() override { note("raise"); }
        void close() override { note("close"); }

    private:
        void note(const char *what) { m_face.log << QString("%1 %2").arg(what).arg(m_number); }
        LoggingFace &m_face;
        int m_number;
    };

    int m_boxes = 0;
};

} // namespace

class TestAboutCore : public QObject {
    Q_OBJECT

private slots:
    void failureReleasesTheBox_data();
    void failureReleasesTheBox();
    void duringAShowing_data();
    void duringAShowing();
};

void TestAboutCore::failureReleasesTheBox_data()
{
    QTest::addColumn<QString>("failAt");
    QTest::addColumn<QString>("log");
    QTest::newRow("making") << "create"
                            << "";
    QTest::newRow("filling") << "fill"
                             << "create 1, fill 1, release 1";
    QTest::newRow("showing") << "show"
                             << "create 1, fill 1, start 15000 #1, show 1, stop, release 1";
}

void TestAboutCore::failureReleasesTheBox()
{
    QFETCH(QString, failAt);
    QFETCH(QString, log);
    LoggingFace face;
    AboutCore about(face);
    about.setTimer(true);
    face.failAt = failAt;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, about.Execute());
    QCOMPARE(face.log.join(", "), log);

    // Usable again: a new box, not a raise of the failed one.
    face.failAt.clear();
    face.log.clear();
    about.Execute();
    QCOMPARE(face.log.join(", "),
             QString("create %1, fill %1, start 15000 #%1, show %1, stop, release %1").arg(failAt == "create" ? 1 : 2));
}

void TestAboutCore::duringAShowing_data()
{
    QTest::addColumn<QString>("actions"); // inside the second showing: "again" asks for the box, "expire N"
                                          // reports the countdown of showing N run out
    QTest::addColumn<QString>("log");     // of the second showing

    const QString opening = "create 2, fill 2, start 15000 #2, show 2, ";
    QTest::newRow("second request raises the box that is up") << "again" << opening + "raise 2, stop, release 2";
    QTest::newRow("late countdown of the first showing") << "expire 1" << opening + "stop, release 2";
    QTest::newRow("own countdown closes the box") << "expire 2" << opening + "stop, close 2, release 2";
    QTest::newRow("own countdown acts once") << "expire 2, expire 2" << opening + "stop, close 2, release 2";
}

void TestAboutCore::duringAShowing()
{
    QFETCH(QString, actions);
    QFETCH(QString, log);
    LoggingFace face;
    AboutCore about(face);
    about.setTimer(true);
    about.Execute();
    face.log.clear();

    face.during = [&] {
        for (const QString &action : actions.split(", ")) {
            if (action == "again")
                about.Execute();
            else
                about.countdownExpired(action.section(' ', 1).toULongLong());
        }
    };
    about.Execute();
    // A countdown that reports after its showing has ended finds nothing to close.
    about.countdownExpired(2);
    QCOMPARE(face.log.join(", "), log);
}

QTEST_GUILESS_MAIN(TestAboutCore)
#include "tst_about_core.moc"
