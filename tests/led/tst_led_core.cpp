// The LED's rules on the core alone, through a face that counts the redraws it is asked for.
#include "led/core/LedCore.h"

#include <QtTest>

namespace {

struct CountingFace : LedFace {
    int redraws = 0;
    void redrawNow() override { ++redraws; }
};

} // namespace

class TestLedCore : public QObject {
    Q_OBJECT

private slots:
    void handlerDestroysLedInNestedSwitch_data();
    void handlerDestroysLedInNestedSwitch();
};

void TestLedCore::handlerDestroysLedInNestedSwitch_data()
{
    QTest::addColumn<int>("depth"); // the handler call that destroys the LED; each one before switches again
    QTest::newRow("one switch deep") << 2;
    QTest::newRow("two switches deep") << 3;
}

// Every switch on the way out, not only the innermost, must see that the LED is gone.
void TestLedCore::handlerDestroysLedInNestedSwitch()
{
    QFETCH(int, depth);
    CountingFace face;
    auto *led = new LedCore(face);
    face.redraws = 0;
    int calls = 0;
    led->setOnLedStateChanged([&](bool on, std::int32_t) {
        if (++calls == depth)
            delete led;
        else
            led->setLedOn(!on);
    });
    led->setLedOn(true);
    QCOMPARE(calls, depth);
    QCOMPARE(face.redraws, 0);
}

QTEST_GUILESS_MAIN(TestLedCore)
#include "tst_led_core.moc"
