// The 64 LED images as the program carries them, read byte by byte, and the decoder that the LED loads
// them with.
#include "led/core/LedDib.h"
#include "led/core/LedImages.h"

#include <QRect>
#include <QtEndian>
#include <QtTest>

#include <array>

namespace {

constexpr int N = 13;
enum Index { Olive = 3, Silver = 7, Gray = 8, White = 15 };

const QStringList Bases = {"AMDMDLED",      "AMLPSLEDHRZ",  "AMLPSLEDVRT",   "AMMONLEDLEFT",
                           "AMMONLEDRIGHT", "AMPRLLEDBCK",  "AMPRLLEDFWT",   "AMPNTLED",
                           "AMRNDLED",      "AMRCTLEDHRZ",  "AMRCTLEDVRT",   "AMSQRLED",
                           "AMTRILEDDWN",   "AMTRILEDLEFT", "AMTRILEDRIGHT", "AMTRILEDUP"};
const QStringList Looks = {"", "3DUP", "3DDWN", "FLAT"};

QByteArray resource(const QString &name)
{
    const std::span<const std::uint8_t> bytes = ledImage(name.toStdString());
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

// Palette indices, [y][x] with row 0 at the top.
using Pixels = std::array<std::array<int, N>, N>;

Pixels pixelsOf(const QByteArray &dib)
{
    Pixels p{};
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const auto byte = uchar(dib.at(40 + 64 + (N - 1 - y) * 8 + x / 2));
            p[y][x] = x % 2 == 0 ? byte >> 4 : byte & 0x0F;
        }
    return p;
}

Pixels pixelsOf(const QString &name)
{
    return pixelsOf(resource(name));
}

bool inShape(const Pixels &p, int x, int y)
{
    return x >= 0 && y >= 0 && x < N && y < N && p[y][x] != Olive;
}

struct Facing {
    bool up, left, down, right;
    bool any() const { return up || left || down || right; }
};

Facing facing(const Pixels &p, int x, int y)
{
    return {!inShape(p, x, y - 1), !inShape(p, x - 1, y), !inShape(p, x, y + 1), !inShape(p, x + 1, y)};
}

QPointF centreOf(const Pixels &p)
{
    QRect box;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x)
            if (inShape(p, x, y))
                box |= QRect(x, y, 1, 1);
    return QRectF(box).center() - QPointF(0.5, 0.5);
}

} // namespace

class TestLedImages : public QObject {
    Q_OBJECT

private slots:
    void eachImage_data();
    void format();
    void colours();
    void lens();
    void outlineAndLight();
    void looksShareShapeAndLens_data();
    void looksShareShapeAndLens();
    void shapes_data();
    void shapes();
    void decoderRejectsMalformed_data();
    void decoderRejectsMalformed();
    void unknownNamesHaveNoImage_data();
    void unknownNamesHaveNoImage();

    void format_data() { eachImage_data(); }
    void colours_data() { eachImage_data(); }
    void lens_data() { eachImage_data(); }
    void outlineAndLight_data() { eachImage_data(); }
};

void TestLedImages::eachImage_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("look");
    for (const QString &base : Bases)
        for (const QString &look : Looks)
            QTest::newRow(qPrintable(base + look)) << base << look;
}

void TestLedImages::format()
{
    QFETCH(QString, base);
    QFETCH(QString, look);
    const QByteArray dib = resource(base + look);
    QCOMPARE(dib.size(), 208);
    const auto *d = dib.constData();
    QCOMPARE(qFromLittleEndian<quint32>(d), 40u);      // BITMAPINFOHEADER
    QCOMPARE(qFromLittleEndian<qint32>(d + 4), N);     // width
    QCOMPARE(qFromLittleEndian<qint32>(d + 8), N);     // height, positive: bottom-up
    QCOMPARE(qFromLittleEndian<quint16>(d + 12), 1);   // planes
    QCOMPARE(qFromLittleEndian<quint16>(d + 14), 4);   // bits per pixel
    QCOMPARE(qFromLittleEndian<quint32>(d + 16), 0u);  // uncompressed
    QVERIFY(qFromLittleEndian<quint32>(d + 32) <= 16); // colours used, 0 meaning all 16

    static const QList<quint32> standard16 = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                              0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                              0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (int i = 0; i < 16; ++i) {
        const auto *q = reinterpret_cast<const uchar *>(d + 40 + 4 * i);
        QCOMPARE(quint32(q[2] << 16 | q[1] << 8 | q[0]), standard16[i]);
    }
}

void TestLedImages::colours()
{
    QFETCH(QString, base);
    QFETCH(QString, look);
    const Pixels p = pixelsOf(base + look);
    QSet<int> used;
    for (const auto &row : p)
        for (int index : row)
            used.insert(index);
    // Four colours, less the ones a shape or look cannot have: a square has no background, a flat
    // look no light.
    QSet<int> expected = {Olive, Silver, Gray, White};
    if (base == "AMSQRLED")
        expected.remove(Olive);
    if (look == "FLAT")
        expected.remove(White);
    QCOMPARE(used, expected);
}

void TestLedImages::lens()
{
    QFETCH(QString, base);
    QFETCH(QString, look);
    const Pixels p = pixelsOf(base + look);
    int parity = -1;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            if (!inShape(p, x, y) || facing(p, x, y).any() || p[y][x] == White)
                continue;
            QVERIFY2(p[y][x] == Silver || p[y][x] == Gray, qPrintable(QString("lens pixel %1,%2").arg(x).arg(y)));
            const int silverParity = (x + y + (p[y][x] == Silver ? 0 : 1)) % 2;
            if (parity < 0)
                parity = silverParity;
            QVERIFY2(silverParity == parity, qPrintable(QString("checkerboard broken at %1,%2").arg(x).arg(y)));
        }
    QVERIFY(parity >= 0);
}

void TestLedImages::outlineAndLight()
{
    QFETCH(QString, base);
    QFETCH(QString, look);
    const Pixels p = pixelsOf(base + look);
    const QPointF c = centreOf(p);
    int highlight = 0;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            if (!inShape(p, x, y))
                continue;
            const Facing f = facing(p, x, y);
            const QString where = QString("%1,%2").arg(x).arg(y);
            const bool white = p[y][x] == White;
            if (!f.any()) {
                if (!white)
                    continue;
                ++highlight;
                const double towardsLowerRight = (x - c.x()) + (y - c.y());
                QVERIFY2(look == "3DDWN" ? towardsLowerRight > 0 : towardsLowerRight < 0, qPrintable(where));
                continue;
            }
            QVERIFY2(p[y][x] == Gray || white, qPrintable(where));
            const bool facesLight = (f.up || f.left) && !(f.down || f.right);
            const bool facesShade = (f.down || f.right) && !(f.up || f.left);
            if (look == "3DUP") {
                QVERIFY2(!facesLight || white, qPrintable("unlit upper-left edge at " + where));
                QVERIFY2(!facesShade || !white, qPrintable("lit lower-right edge at " + where));
            } else if (look == "3DDWN") {
                QVERIFY2(!facesShade || white, qPrintable("unlit lower-right edge at " + where));
                QVERIFY2(!facesLight || !white, qPrintable("lit upper-left edge at " + where));
            } else {
                QVERIFY2(!white, qPrintable("white outline at " + where));
            }
        }
    if (look == "FLAT")
        QCOMPARE(highlight, 0);
    else
        QVERIFY2(highlight >= 2 && highlight <= 10, qPrintable(QString::number(highlight)));
}

void TestLedImages::looksShareShapeAndLens_data()
{
    QTest::addColumn<QString>("base");
    for (const QString &base : Bases)
        QTest::newRow(qPrintable(base)) << base;
}

// All four looks show one shape; the raised look only adds light to the plain one's outline.
void TestLedImages::looksShareShapeAndLens()
{
    QFETCH(QString, base);
    const Pixels plain = pixelsOf(base);
    const Pixels raised = pixelsOf(base + "3DUP");
    for (const QString &look : Looks) {
        const Pixels other = pixelsOf(base + look);
        for (int y = 0; y < N; ++y)
            for (int x = 0; x < N; ++x)
                QCOMPARE(inShape(other, x, y), inShape(plain, x, y));
    }
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x)
            if (inShape(plain, x, y) && !facing(plain, x, y).any())
                QCOMPARE(raised[y][x], plain[y][x]);
}

void TestLedImages::shapes_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<QList<QPoint>>("inside");
    QTest::addColumn<QList<QPoint>>("outside");

    const QList<QPoint> corners = {{0, 0}, {12, 0}, {0, 12}, {12, 12}};
    const QList<QPoint> sideMiddles = {{6, 0}, {0, 6}, {12, 6}, {6, 12}};
    const QRect all(0, 0, N, N);
    QTest::newRow("diamond") << "AMDMDLED" << all << sideMiddles + QList<QPoint>{{6, 6}}
                             << corners + QList<QPoint>{{5, 0}, {7, 0}, {0, 5}, {3, 2}};
    QTest::newRow("ellipse hrz") << "AMLPSLEDHRZ" << QRect(0, 3, 13, 7) << QList<QPoint>{{0, 6}, {12, 6}, {6, 3}}
                                 << QList<QPoint>{{0, 3}, {12, 9}};
    QTest::newRow("ellipse vrt") << "AMLPSLEDVRT" << QRect(3, 0, 7, 13) << QList<QPoint>{{6, 0}, {6, 12}, {3, 6}}
                                 << QList<QPoint>{{3, 0}, {9, 12}};
    QTest::newRow("moon left") << "AMMONLEDLEFT" << all << QList<QPoint>{{0, 6}, {6, 6}, {6, 4}, {12, 4}, {12, 8}}
                               << corners + QList<QPoint>{{7, 5}, {7, 6}, {7, 7}, {12, 6}};
    QTest::newRow("moon right") << "AMMONLEDRIGHT" << all << QList<QPoint>{{12, 6}, {6, 6}, {6, 4}, {0, 4}, {0, 8}}
                                << corners + QList<QPoint>{{5, 5}, {5, 6}, {5, 7}, {0, 6}};
    QTest::newRow("parallel back") << "AMPRLLEDBCK" << all << QList<QPoint>{{0, 0}, {8, 0}, {4, 12}, {12, 12}}
                                   << QList<QPoint>{{9, 0}, {3, 12}, {12, 0}, {0, 12}};
    QTest::newRow("parallel fwd") << "AMPRLLEDFWT" << all << QList<QPoint>{{4, 0}, {12, 0}, {0, 12}, {8, 12}}
                                  << QList<QPoint>{{3, 0}, {9, 12}, {0, 0}, {12, 12}};
    QTest::newRow("star") << "AMPNTLED" << all << QList<QPoint>{{6, 0}, {0, 4}, {12, 4}, {6, 6}}
                          << corners + QList<QPoint>{{6, 12}, {5, 0}, {7, 0}};
    QTest::newRow("round") << "AMRNDLED" << all << sideMiddles + QList<QPoint>{{6, 6}, {2, 2}}
                           << corners + QList<QPoint>{{1, 1}, {11, 11}};
    QTest::newRow("rectangle hrz") << "AMRCTLEDHRZ" << QRect(0, 3, 13, 7)
                                   << QList<QPoint>{{0, 3}, {12, 3}, {0, 9}, {12, 9}} << QList<QPoint>{};
    QTest::newRow("rectangle vrt") << "AMRCTLEDVRT" << QRect(3, 0, 7, 13)
                                   << QList<QPoint>{{3, 0}, {9, 0}, {3, 12}, {9, 12}} << QList<QPoint>{};
    QTest::newRow("square") << "AMSQRLED" << all << corners << QList<QPoint>{};
    QTest::newRow("triangle dwn") << "AMTRILEDDWN" << all << QList<QPoint>{{0, 0}, {12, 0}, {6, 12}}
                                  << QList<QPoint>{{5, 12}, {7, 12}, {0, 12}};
    QTest::newRow("triangle left") << "AMTRILEDLEFT" << all << QList<QPoint>{{12, 0}, {12, 12}, {0, 6}}
                                   << QList<QPoint>{{0, 5}, {0, 7}, {0, 0}};
    QTest::newRow("triangle right") << "AMTRILEDRIGHT" << all << QList<QPoint>{{0, 0}, {0, 12}, {12, 6}}
                                    << QList<QPoint>{{12, 5}, {12, 7}, {12, 0}};
    QTest::newRow("triangle up") << "AMTRILEDUP" << all << QList<QPoint>{{0, 12}, {12, 12}, {6, 0}}
                                 << QList<QPoint>{{5, 0}, {7, 0}, {0, 0}};
}

void TestLedImages::shapes()
{
    QFETCH(QString, base);
    QFETCH(QRect, bounds);
    QFETCH(QList<QPoint>, inside);
    QFETCH(QList<QPoint>, outside);
    const Pixels p = pixelsOf(base);
    QRect box;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x)
            if (inShape(p, x, y))
                box |= QRect(x, y, 1, 1);
    QCOMPARE(box, bounds);
    for (const QPoint &q : inside)
        QVERIFY2(inShape(p, q.x(), q.y()), qPrintable(QString("%1,%2").arg(q.x()).arg(q.y())));
    for (const QPoint &q : outside)
        QVERIFY2(!inShape(p, q.x(), q.y()), qPrintable(QString("%1,%2").arg(q.x()).arg(q.y())));
    // The rectangles fill their bounds completely.
    if (base.startsWith("AMRCT") || base == "AMSQRLED")
        for (int y = bounds.top(); y <= bounds.bottom(); ++y)
            for (int x = bounds.left(); x <= bounds.right(); ++x)
                QVERIFY(inShape(p, x, y));
}

void TestLedImages::decoderRejectsMalformed_data()
{
    QTest::addColumn<int>("offset"); // where to patch a 32-bit value, or -1 to cut the data short
    QTest::addColumn<quint32>("value");

    QTest::newRow("truncated") << -1 << 207u;
    QTest::newRow("header size") << 0 << 12u;
    QTest::newRow("width") << 4 << 14u;
    QTest::newRow("height") << 8 << 12u;
    QTest::newRow("8 bits") << 12 << (8u << 16 | 1u);
    QTest::newRow("RLE4") << 16 << 2u;
    QTest::newRow("17 colours") << 32 << 17u;
    QTest::newRow("index past the palette") << 32 << 4u; // the images use index 15
    QTest::newRow("top-down") << 8 << quint32(-N);
}

void TestLedImages::decoderRejectsMalformed()
{
    QFETCH(int, offset);
    QFETCH(quint32, value);
    QByteArray dib = resource("AMRNDLED3DUP");
    if (offset < 0)
        dib.truncate(int(value));
    else
        qToLittleEndian(value, dib.data() + offset);

    LedPixels target;
    target.fill(0x123456);
    const LedPixels before = target;
    QVERIFY(!LedDib::decode(std::span(reinterpret_cast<const std::uint8_t *>(dib.constData()), dib.size()), target));
    QVERIFY(target == before);
}

void TestLedImages::unknownNamesHaveNoImage_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << "";
    QTest::newRow("lower case") << "amrndled3dup";
    QTest::newRow("cut short") << "AMRNDLED3D";
    QTest::newRow("longer") << "AMRNDLEDFLATX";
    QTest::newRow("before the first") << "A";
    QTest::newRow("past the last") << "ZZZ";
}

void TestLedImages::unknownNamesHaveNoImage()
{
    QFETCH(QString, name);
    QVERIFY(ledImage(name.toStdString()).empty());
}

QTEST_GUILESS_MAIN(TestLedImages)
#include "tst_led_images.moc"
