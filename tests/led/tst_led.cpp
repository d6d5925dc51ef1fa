// The LED on a parent, as the panel uses it: pixels read back from the window's backing store (the
// surface the LED paints into), paints counted as they happen, and the property write rules.
#include "led/qt/AMAdvLed.h"
#include "led/core/LedDib.h"
#include "led/core/LedImages.h"

#include <QBackingStore>
#include <QPointer>
#include <QtTest>

#include <memory>

namespace {

constexpr int N = TAMAdvLed::LedSize;
const QColor PanelGrey(212, 208, 200);
constexpr QRgb Silver = 0xC0C0C0;
constexpr QRgb Olive = 0x808000;

class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget *watched) { watched->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

void setWindowColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

// What is in the window's surface now, without painting anything (grab() would paint again).
QImage surfaceAt(QWidget *widget, const QRect &rect)
{
    QBackingStore *store = widget->window()->backingStore();
    QPaintDevice *device = store ? store->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image)
        return {};
    const QPoint origin = widget->mapTo(widget->window(), QPoint());
    return static_cast<QImage *>(device)->copy(rect.translated(origin)).convertToFormat(QImage::Format_RGB32);
}

QImage surfaceOf(TAMAdvLed *led)
{
    return surfaceAt(led, QRect(0, 0, N, N));
}

// Each pixel as its role in the loaded image says: the lens in its colour, the background in the
// parent's, outline and light as stored.
bool paintedAs(const QImage &painted, const QImage &bitmap, const QColor &lens, const QColor &fill, QString *where)
{
    if (painted.size() != QSize(N, N))
        return *where = "no surface", false;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const QRgb stored = bitmap.pixel(x, y) & 0xFFFFFF;
            const QRgb expected = stored == Silver ? lens.rgb() : stored == Olive ? fill.rgb() : stored | 0xFF000000;
            if (painted.pixel(x, y) != expected) {
                *where = QString("%1,%2: %3 instead of %4")
                             .arg(x)
                             .arg(y)
                             .arg(QColor(painted.pixel(x, y)).name(), QColor(expected).name());
                return false;
            }
        }
    return true;
}

#define VERIFY_PAINTED(led, lens, fill)                                                                                \
    do {                                                                                                               \
        QString where;                                                                                                 \
        QVERIFY2(paintedAs(surfaceOf(led), (led)->ledBitmap(), lens, fill, &where), qPrintable(where));                \
    } while (false)

QImage resourceImage(const QString &name)
{
    LedPixels pixels;
    if (!LedDib::decode(ledImage(name.toStdString()), pixels))
        return {};
    return QImage(reinterpret_cast<const uchar *>(pixels.data()), N, N, N * 4, QImage::Format_RGB32).copy();
}

// A grey parent with two LEDs, created at 17 x 17 and then loaded, as the panel's form has them.
struct Panel {
    QWidget window;
    TAMAdvLed *led = new TAMAdvLed(&window);
    TAMAdvLed *other = new TAMAdvLed(&window);

    Panel()
    {
        window.resize(60, 30);
        setWindowColour(&window, PanelGrey);
        led->setGeometry(4, 4, 17, 17);
        other->setGeometry(30, 4, 17, 17);
        led->loaded();
        other->loaded();
        window.show();
    }
};

struct Event {
    bool value;
    qint32 count;
    bool ledOnDuringCall;
    int paintsBeforeCall;
};

} // namespace

class TestLed : public QObject {
    Q_OBJECT

private slots:
    void init();
    void createdLargerThenLoaded();
    void paints_data();
    void paints();
    void backgroundFollowsParentAtOnce();
    void redrawDoesNotPaintParent();
    void disabledLooksTheSame();
    void hiddenLedPaintsNothingUntilShown();
    void switching_data();
    void switching();
    void nestedSwitchFromHandler();
    void handlerMayDeleteLedOrReplaceItself();
    void colourWrites_data();
    void colourWrites();
    void lookRules_data();
    void lookRules();
    void imageNames_data();
    void imageNames();

private:
    std::unique_ptr<Panel> m_panel;
    TAMAdvLed *led() const { return m_panel->led; }
};

void TestLed::init()
{
    m_panel = std::make_unique<Panel>();
    QVERIFY(QTest::qWaitForWindowExposed(&m_panel->window));
}

void TestLed::createdLargerThenLoaded()
{
    for (TAMAdvLed *l : {m_panel->led, m_panel->other}) {
        QCOMPARE(l->size(), QSize(N, N));
        QCOMPARE(l->loadedImageName(), QString("AMRNDLED3DUP"));
        VERIFY_PAINTED(l, QColor(0, 128, 0), PanelGrey);
        // The strips of the 17 x 17 square that the LED gave up show the parent again.
        const QImage strip = surfaceAt(l, QRect(N, 0, 4, 17));
        for (int y = 0; y < strip.height(); ++y)
            for (int x = 0; x < strip.width(); ++x)
                QCOMPARE(QColor(strip.pixel(x, y)), PanelGrey);
    }
    QCOMPARE(m_panel->led->pos(), QPoint(4, 4));
    QCOMPARE(m_panel->other->pos(), QPoint(30, 4));
}

void TestLed::paints_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("on");
    QTest::addColumn<quint32>("colorOn");
    QTest::addColumn<quint32>("colorOff");
    QTest::addColumn<QColor>("parent");
    QTest::addColumn<QColor>("lens"); // what the lens pixels must show

    const int round = TAMAdvLed::ltRound;
    const QColor blue(0, 0, 255);
    QTest::newRow("off") << round << false << 0x00FF00u << 0x008000u << PanelGrey << QColor(0, 128, 0);
    QTest::newRow("on") << round << true << 0x00FF00u << 0x008000u << PanelGrey << QColor(0, 255, 0);
    QTest::newRow("red in the low byte") << round << true << 0x0000FFu << 0x008000u << PanelGrey << QColor(255, 0, 0);
    QTest::newRow("blue in the high byte") << round << false << 0x00FF00u << 0xFF0000u << PanelGrey << blue;
    QTest::newRow("olive lens takes background") << round << true << 0x008080u << 0x008000u << PanelGrey << PanelGrey;
    QTest::newRow("olive off lens too") << round << false << 0x00FF00u << 0x008080u << blue << blue;
    // Were the passes run the other way round, a silver background would take the lens colour.
    QTest::newRow("silver parent") << round << true << 0x00FF00u << 0x008000u << QColor(Silver) << QColor(0, 255, 0);
    QTest::newRow("square") << int(TAMAdvLed::ltSquare) << true << 0x0000FFu << 0x008000u << blue << QColor(255, 0, 0);
}

void TestLed::paints()
{
    QFETCH(int, type);
    QFETCH(bool, on);
    QFETCH(quint32, colorOn);
    QFETCH(quint32, colorOff);
    QFETCH(QColor, parent);
    QFETCH(QColor, lens);

    // No event processing in between: every one of these writes paints before it returns.
    setWindowColour(&m_panel->window, parent);
    led()->setLedType(TAMAdvLed::TLedType(type));
    led()->setColorOn(colorOn);
    led()->setColorOff(colorOff);
    led()->setLedOn(on);
    VERIFY_PAINTED(led(), lens, parent);
}

void TestLed::backgroundFollowsParentAtOnce()
{
    PaintCounter paints(led());
    const QColor teal(0, 128, 128);
    setWindowColour(&m_panel->window, teal);
    // Painted before setPalette returns; how often is up to Qt, which also syncs other dirty widgets.
    QVERIFY(paints.count >= 1);
    VERIFY_PAINTED(led(), QColor(0, 128, 0), teal);
}

// Opaque: a redraw paints over the old picture, and the parent paints nothing underneath first.
void TestLed::redrawDoesNotPaintParent()
{
    PaintCounter ledPaints(led());
    PaintCounter parentPaints(&m_panel->window);
    led()->setColorOn(0x0000FF);
    led()->setLedOn(true);
    QCOMPARE(ledPaints.count, 2);
    QCOMPARE(parentPaints.count, 0);
    VERIFY_PAINTED(led(), QColor(255, 0, 0), PanelGrey);
}

void TestLed::disabledLooksTheSame()
{
    // A palette whose disabled background differs, so that a wrong colour group would show.
    QPalette palette = m_panel->window.palette();
    palette.setColor(QPalette::Disabled, QPalette::Window, QColor(255, 0, 255));
    m_panel->window.setPalette(palette);
    led()->setLedOn(true);
    const QImage enabled = surfaceOf(led());
    led()->setEnabled(false);
    led()->repaint();
    QCOMPARE(surfaceOf(led()), enabled);
}

void TestLed::hiddenLedPaintsNothingUntilShown()
{
    led()->hide();
    QCoreApplication::processEvents();
    PaintCounter paints(led());
    led()->setLedOn(true);
    led()->setColorOn(0x0000FF);
    led()->setLedType(TAMAdvLed::ltSquare);
    setWindowColour(&m_panel->window, QColor(0, 0, 128));
    QCoreApplication::processEvents();
    QCOMPARE(paints.count, 0);

    led()->show();
    QTRY_VERIFY(paints.count > 0);
    QCOMPARE(led()->loadedImageName(), QString("AMSQRLED3DUP"));
    VERIFY_PAINTED(led(), QColor(255, 0, 0), QColor(0, 0, 128));
}

void TestLed::switching_data()
{
    QTest::addColumn<QString>("writes");
    QTest::addColumn<QString>("events"); // value:NumSwitch for each call of the handler

    QTest::newRow("off while off") << "0"
                                   << "";
    QTest::newRow("on") << "1"
                        << "1:1";
    QTest::newRow("on twice") << "1 1"
                              << "1:1";
    QTest::newRow("on, off") << "1 0"
                             << "1:1 0:2";
    QTest::newRow("mixed") << "1 1 0 0 1 0"
                           << "1:1 0:2 1:3 0:4";
}

void TestLed::switching()
{
    QFETCH(QString, writes);
    QFETCH(QString, events);

    PaintCounter paints(led());
    QList<Event> seen;
    led()->setOnLedStateChanged([&](TAMAdvLed *sender, bool on, qint32 count) {
        QCOMPARE(sender, led());
        seen.append({on, count, sender->LedOn(), paints.count});
    });

    QStringList got;
    for (const QString &w : writes.split(' ')) {
        const int paintsBefore = paints.count;
        const qsizetype eventsBefore = seen.size();
        const bool value = w == "1";
        const bool changes = value != led()->LedOn();
        led()->setLedOn(value);
        QCOMPARE(led()->LedOn(), value);
        QCOMPARE(seen.size() - eventsBefore, changes ? 1 : 0);
        QCOMPARE(paints.count - paintsBefore, changes ? 1 : 0);
        if (changes) {
            QCOMPARE(seen.last().ledOnDuringCall, value);
            QCOMPARE(seen.last().paintsBeforeCall, paintsBefore); // the handler runs before the redraw
        }
    }
    for (const Event &e : seen)
        got << QString("%1:%2").arg(int(e.value)).arg(e.count);
    QCOMPARE(got.join(' '), events);
}

void TestLed::nestedSwitchFromHandler()
{
    PaintCounter paints(led());
    QList<Event> seen;
    led()->setOnLedStateChanged([&](TAMAdvLed *sender, bool on, qint32 count) {
        seen.append({on, count, sender->LedOn(), paints.count});
        if (on)
            sender->setLedOn(false);
    });
    led()->setLedOn(true);

    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[0].value, true);
    QCOMPARE(seen[0].count, 1);
    QCOMPARE(seen[1].value, false);
    QCOMPARE(seen[1].count, 2);
    QCOMPARE(seen[1].paintsBeforeCall, 0); // the nested switch runs before the outer redraw
    QCOMPARE(paints.count, 2);
    QCOMPARE(led()->LedOn(), false);
    VERIFY_PAINTED(led(), QColor(0, 128, 0), PanelGrey);

    led()->setOnLedStateChanged({});
    led()->setLedOn(true); // the count goes on, unseen, and the next handler sees it
    led()->setOnLedStateChanged([&](TAMAdvLed *, bool on, qint32 count) { seen.append({on, count, on, 0}); });
    led()->setLedOn(false);
    QCOMPARE(seen.last().count, 4);
}

void TestLed::handlerMayDeleteLedOrReplaceItself()
{
    QPointer<TAMAdvLed> doomed = led();
    m_panel->led = nullptr;
    doomed->setOnLedStateChanged([](TAMAdvLed *sender, bool, qint32) { delete sender; });
    doomed->setLedOn(true);
    QVERIFY(doomed.isNull());

    QStringList log;
    TAMAdvLed *other = m_panel->other;
    const QString tag(200, 'x'); // captured by value: freed with the handler if it were not held
    other->setOnLedStateChanged([other, tag, &log](TAMAdvLed *, bool, qint32) {
        other->setOnLedStateChanged({});
        log << tag;
    });
    other->setLedOn(true);
    other->setLedOn(false);
    QCOMPARE(log, QStringList{tag});
}

void TestLed::colourWrites_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<quint32>("colorOff");
    QTest::addColumn<quint32>("colorOn");
    QTest::addColumn<QColor>("lens"); // the LED is off

    QTest::newRow("ColorOn unchanged") << 1 << 0x00FF00u << 0x008000u << 0x00FF00u << QColor(0, 128, 0);
    QTest::newRow("ColorOn while off") << 1 << 0x0000FFu << 0x008000u << 0x0000FFu << QColor(0, 128, 0);
    QTest::newRow("ColorOff") << 0 << 0xFF0000u << 0xFF0000u << 0x00FF00u << QColor(0, 0, 255);
    QTest::newRow("ColorOff unchanged") << 0 << 0x008000u << 0x008000u << 0x00FF00u << QColor(0, 128, 0);
    QTest::newRow("index 2") << 2 << 0x0000FFu << 0x008000u << 0x00FF00u << QColor(0, 128, 0);
    QTest::newRow("index -1") << -1 << 0x0000FFu << 0x008000u << 0x00FF00u << QColor(0, 128, 0);
}

void TestLed::colourWrites()
{
    QFETCH(int, index);
    QFETCH(quint32, value);
    QFETCH(quint32, colorOff);
    QFETCH(quint32, colorOn);
    QFETCH(QColor, lens);

    PaintCounter paints(led());
    led()->setColor(index, value);
    QCOMPARE(paints.count, 1);
    QCOMPARE(led()->ColorOff(), colorOff);
    QCOMPARE(led()->ColorOn(), colorOn);
    VERIFY_PAINTED(led(), lens, PanelGrey);
}

void TestLed::lookRules_data()
{
    QTest::addColumn<QString>("writes"); // property=value, applied in order
    QTest::addColumn<int>("border");
    QTest::addColumn<bool>("ctl3d");
    QTest::addColumn<QString>("image");
    QTest::addColumn<int>("reloads"); // each real change reloads and redraws once

    QTest::newRow("same values") << "border=1 ctl3d=1 type=8" << 1 << true << "AMRNDLED3DUP" << 0;
    QTest::newRow("flat") << "ctl3d=0" << 0 << false << "AMRNDLEDFLAT" << 1;
    QTest::newRow("flat, then 3D again") << "ctl3d=0 ctl3d=1" << 0 << true << "AMRNDLED" << 2;
    QTest::newRow("lowered while flat") << "ctl3d=0 border=2" << 2 << true << "AMRNDLED3DDWN" << 2;
    QTest::newRow("default border") << "border=0" << 0 << true << "AMRNDLED" << 1;
    QTest::newRow("default border while flat") << "ctl3d=0 border=0" << 0 << false << "AMRNDLEDFLAT" << 1;
    QTest::newRow("lowered, raised") << "border=2 border=1" << 1 << true << "AMRNDLED3DUP" << 2;
    QTest::newRow("square lowered") << "type=11 border=2" << 2 << true << "AMSQRLED3DDWN" << 2;
    QTest::newRow("type out of range") << "type=200" << 1 << true << "AMRNDLED3DUP" << 1;
    QTest::newRow("border out of range") << "ctl3d=0 border=7" << 7 << true << "AMRNDLED" << 2;
}

void TestLed::lookRules()
{
    QFETCH(QString, writes);
    QFETCH(int, border);
    QFETCH(bool, ctl3d);
    QFETCH(QString, image);
    QFETCH(int, reloads);

    PaintCounter paints(led());
    for (const QString &w : writes.split(' ')) {
        const QStringList kv = w.split('=');
        const int v = kv[1].toInt();
        if (kv[0] == "border")
            led()->setBorderStyle(TAMAdvLed::TBorder(v));
        else if (kv[0] == "ctl3d")
            led()->setCtl3D(v != 0);
        else
            led()->setLedType(TAMAdvLed::TLedType(v));
        QVERIFY(led()->Ctl3D() || led()->BorderStyle() == TAMAdvLed::brDefault);
    }
    QCOMPARE(int(led()->BorderStyle()), border);
    QCOMPARE(led()->Ctl3D(), ctl3d);
    QCOMPARE(led()->loadedImageName(), image);
    QCOMPARE(led()->ledBitmap(), resourceImage(image));
    QCOMPARE(paints.count, reloads);
}

void TestLed::imageNames_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("base");
    const QStringList bases = {"AMDMDLED",      "AMLPSLEDHRZ",  "AMLPSLEDVRT",   "AMMONLEDLEFT",
                               "AMMONLEDRIGHT", "AMPRLLEDBCK",  "AMPRLLEDFWT",   "AMPNTLED",
                               "AMRNDLED",      "AMRCTLEDHRZ",  "AMRCTLEDVRT",   "AMSQRLED",
                               "AMTRILEDDWN",   "AMTRILEDLEFT", "AMTRILEDRIGHT", "AMTRILEDUP"};
    const QMetaEnum types = QMetaEnum::fromType<TAMAdvLed::TLedType>();
    for (int i = 0; i < bases.size(); ++i)
        QTest::newRow(types.valueToKey(i)) << i << bases[i];
}

void TestLed::imageNames()
{
    QFETCH(int, type);
    QFETCH(QString, base);
    led()->setLedType(TAMAdvLed::TLedType(type));
    QCOMPARE(led()->loadedImageName(), base + "3DUP");
    QCOMPARE(led()->ledBitmap(), resourceImage(base + "3DUP"));
}

QTEST_MAIN(TestLed)
#include "tst_led.moc"
