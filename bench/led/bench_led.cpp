// Prints what an LED paint costs, alone and inside the writes that paint at once. Run offscreen:
//   QT_QPA_PLATFORM=offscreen bench_led
#include "led/qt/AMAdvLed.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Times the LED's own paint handler, without Qt's repaint machinery around it.
class TimedLed : public TAMAdvLed {
public:
    using TAMAdvLed::TAMAdvLed;
    qint64 paintNanoseconds = 0;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QElapsedTimer timer;
        timer.start();
        TAMAdvLed::paintEvent(event);
        paintNanoseconds += timer.nsecsElapsed();
        ++paints;
    }
};

// The median over batches, in microseconds per call, so that one slow batch does not decide.
double microsecondsPerCall(int calls, const std::function<void()> &call)
{
    constexpr int Batches = 15;
    std::vector<double> perCall;
    for (int b = 0; b < Batches; ++b) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < calls; ++i)
            call();
        perCall.push_back(double(timer.nsecsElapsed()) / calls / 1000.0);
    }
    std::nth_element(perCall.begin(), perCall.begin() + Batches / 2, perCall.end());
    return perCall[Batches / 2];
}

void report(const char *what, double microseconds)
{
    std::printf("%-58s %8.2f us\n", what, microseconds);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget panel;
    panel.resize(224, 167);
    auto *led = new TimedLed(&panel);
    led->setGeometry(10, 10, 17, 17);
    led->loaded();
    panel.show();
    if (!QTest::qWaitForWindowExposed(&panel)) {
        std::fprintf(stderr, "the window was never exposed\n");
        return 1;
    }

    constexpr int Calls = 2000;
    led->paintNanoseconds = 0;
    led->paints = 0;
    const double repaint = microsecondsPerCall(Calls, [&] { led->repaint(); });
    report("paint handler alone (two 13x13 key passes + blit)", double(led->paintNanoseconds) / led->paints / 1000.0);
    report("repaint(): synchronous paint into the backing store", repaint);

    bool red = false;
    report("ColorOn write with its synchronous paint", microsecondsPerCall(Calls, [&] {
               red = !red;
               led->setColorOn(red ? 0x0000FF : 0x00FF00);
           }));
    led->setLedOn(true);
    report("ColorOn write of the current value (still paints)",
           microsecondsPerCall(Calls, [&] { led->setColorOn(led->ColorOn()); }));

    qint32 seen = 0;
    led->setOnLedStateChanged([&](TAMAdvLed *, bool, qint32 count) { seen = count; });
    report("LedOn switch with handler and paint", microsecondsPerCall(Calls, [&] { led->setLedOn(!led->LedOn()); }));
    report("LedOn write of the current value (does nothing)",
           microsecondsPerCall(Calls * 50, [&] { led->setLedOn(led->LedOn()); }));

    report("LedType change: image load and paint", microsecondsPerCall(Calls / 4, [&] {
               led->setLedType(led->LedType() == TAMAdvLed::ltRound ? TAMAdvLed::ltSquare : TAMAdvLed::ltRound);
           }));
    std::printf("(%d switches seen by the handler)\n", int(seen));
    return 0;
}
