// Draws the panel's artwork: the three transfer-button images (A2B, SWAP, B2A), the application icon
// MAINICON and the rig-server icon OMNIRIG at every size the program ships, and an overview sheet of all
// of them for the documentation.
//
// Usage: velkor_artwork <resources folder> <overview png> <hicolor folder> <icon name>
// Writes <resources folder>/panel/{A2B,SWAP,B2A}.bmp, <resources folder>/icons/{MAINICON,OMNIRIG}-<n>.png, and
// MAINICON as the desktop's application icon, <hicolor folder>/<n>x<n>/apps/<icon name>.png, at the sizes
// of the freedesktop icon theme.
// Run it with QT_QPA_PLATFORM=offscreen; the letters use DejaVu Sans Bold.
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <array>
#include <cmath>

namespace {

constexpr QSize ButtonSize(71, 56);
// Outside the rounded body: the bottom-left pixel, which a button may take as its transparent colour.
const QColor ButtonCorner(192, 192, 192);
const QColor BlueTop(58, 96, 190);
const QColor BlueBottom(16, 34, 104);
const QColor BlueEdge(6, 14, 52);
const QColor LcdGreen(164, 238, 132);
const QColor LcdAmber(255, 192, 64);
const QColor LcdInk(18, 30, 22);
const QColor OrangeTop(246, 150, 44);
const QColor OrangeBottom(184, 72, 8);
const QColor OrangeEdge(84, 30, 0);

constexpr std::array IconSizes{16, 24, 32, 48, 64, 256};
// The sizes desktops and docks ask an icon theme for.
constexpr std::array ThemeSizes{16, 22, 24, 32, 48, 64, 128, 256};

enum class Arrow { Right, Both, Left };

QFont letterFont(qreal pixelSize)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(qRound(pixelSize));
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// A horizontal arrow from x1 to x2 on the line y: a shaft with a filled head at each end that asks for one.
void drawArrow(QPainter &p, qreal x1, qreal x2, qreal y, qreal shaft, qreal headLength, qreal headWidth, bool headLeft,
               bool headRight)
{
    QPainterPath path;
    const qreal left = headLeft ? x1 + headLength : x1;
    const qreal right = headRight ? x2 - headLength : x2;
    path.addRect(QRectF(left - 0.5, y - shaft / 2, right - left + 1, shaft));
    if (headLeft) {
        QPainterPath head;
        head.moveTo(x1, y);
        head.lineTo(x1 + headLength, y - headWidth / 2);
        head.lineTo(x1 + headLength, y + headWidth / 2);
        head.closeSubpath();
        path = path.united(head);
    }
    if (headRight) {
        QPainterPath head;
        head.moveTo(x2, y);
        head.lineTo(x2 - headLength, y - headWidth / 2);
        head.lineTo(x2 - headLength, y + headWidth / 2);
        head.closeSubpath();
        path = path.united(head);
    }
    p.fillPath(path, p.pen().color());
}

// Draws text so that its ink is centred on `centre`.
void drawCentred(QPainter &p, const QString &text, QPointF centre)
{
    const QRectF ink = QFontMetricsF(p.font()).tightBoundingRect(text);
    p.drawText(QPointF(centre.x() - ink.center().x(), centre.y() - ink.center().y()), text);
}

void drawRoundedBody(QPainter &p, const QRectF &body, qreal radius, QColor top, QColor bottom, QColor edge,
                     bool highlight = true)
{
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setPen(QPen(edge, 1));
    p.setBrush(fill);
    p.drawRoundedRect(body, radius, radius);
    if (!highlight)
        return;
    // A faint highlight along the inside edge gives the body some depth; at 16 pixels it would only thicken
    // the border.
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
}

QImage drawButton(Arrow arrow)
{
    QImage image(ButtonSize, QImage::Format_RGB32);
    image.fill(ButtonCorner);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawRoundedBody(p, QRectF(1.5, 1.5, ButtonSize.width() - 3, ButtonSize.height() - 3), 9, BlueTop, BlueBottom,
                    BlueEdge);

    // The letters and the arrow sit in the middle 61 x 37 pixels, so that they stay whole on a button
    // smaller than the image.
    const qreal middle = ButtonSize.height() / 2.0;
    p.setFont(letterFont(22));
    p.setPen(Qt::white);
    drawCentred(p, QStringLiteral("A"), QPointF(13.5, middle));
    drawCentred(p, QStringLiteral("B"), QPointF(57.5, middle));
    drawArrow(p, 23.5, 47.5, middle, 3.4, arrow == Arrow::Both ? 7 : 8, 11, arrow != Arrow::Right,
              arrow != Arrow::Left);
    return image;
}

// MAINICON: two VFO displays, A and B, side by side, tied together by a two-way arrow.
QImage drawMainIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 16.0;
    drawRoundedBody(p, QRectF(0.5, 0.5, size - 1, size - 1), 3 * s, BlueTop, BlueBottom, BlueEdge, size > 16);
    if (size <= 16) {
        // At 16 pixels the displays would leave no room for readable letters: coloured letters alone.
        p.setFont(letterFont(9));
        p.setPen(LcdGreen);
        drawCentred(p, QStringLiteral("A"), QPointF(4.7, 6.5));
        p.setPen(LcdAmber);
        drawCentred(p, QStringLiteral("B"), QPointF(11.3, 6.5));
        p.setPen(Qt::white);
        drawArrow(p, 2, 14, 12.5, 1.6, 3, 5, true, true);
        return image;
    }
    const QRectF displayA(2.2 * s, 2.2 * s, 5.4 * s, 6.6 * s);
    const QRectF displayB(8.4 * s, 2.2 * s, 5.4 * s, 6.6 * s);
    const qreal corner = 0.8 * s;
    p.setPen(QPen(BlueEdge, std::max(1.0, 0.3 * s)));
    p.setBrush(LcdGreen);
    p.drawRoundedRect(displayA, corner, corner);
    p.setBrush(LcdAmber);
    p.drawRoundedRect(displayB, corner, corner);
    p.setFont(letterFont(6.4 * s));
    p.setPen(LcdInk);
    drawCentred(p, QStringLiteral("A"), displayA.center());
    drawCentred(p, QStringLiteral("B"), displayB.center());
    p.setPen(Qt::white);
    drawArrow(p, 2.2 * s, 13.8 * s, 11.9 * s, 1.3 * s, 2.8 * s, 4.2 * s, true, true);
    return image;
}

// OMNIRIG: the rig server, an antenna mast sending on both sides, on orange so it is told from MAINICON
// at a glance in the tray.
QImage drawOmniRigIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 16.0;
    drawRoundedBody(p, QRectF(0.5, 0.5, size - 1, size - 1), 3 * s, OrangeTop, OrangeBottom, OrangeEdge, size > 16);

    const QPointF top(8 * s, 5.2 * s);
    // Two whole pixels at 16, so that the mast stays sharp.
    const qreal line = std::max(2.0, 1.2 * s);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, line, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(top.x(), top.y()), QPointF(top.x(), 13.2 * s));
    p.setPen(QPen(Qt::white, line * 0.8, Qt::SolidLine, Qt::RoundCap));
    for (qreal side : {-1.0, 1.0})
        p.drawLine(QPointF(top.x(), 9.2 * s), QPointF(top.x() + side * 3.2 * s, 14.2 * s));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(top, 1.3 * s, 1.3 * s);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, line, Qt::SolidLine, Qt::RoundCap));
    const int waves = size <= 16 ? 1 : 2;
    for (int i = 0; i < waves; ++i) {
        const qreal r = (waves == 1 ? 3.8 : 2.9 + 2.3 * i) * s;
        const QRectF arc(top.x() - r, top.y() - r, 2 * r, 2 * r);
        p.drawArc(arc, 16 * 130, 16 * 100); // left, from 130 to 230 degrees
        p.drawArc(arc, -16 * 50, 16 * 100); // right, from -50 to 50 degrees
    }
    return image;
}

// The overview: the three buttons and both icons at 16, 32 and 48 pixels on the panel's grey, each named.
QImage drawOverview(const std::array<QImage, 3> &buttons, const std::array<QString, 3> &buttonNames)
{
    constexpr int gap = 12;
    constexpr int buttonCell = ButtonSize.width() + gap;
    constexpr int iconCell = 74;
    constexpr int captionHeight = 18;
    const std::array shownSizes{16, 32, 48};
    const int width = gap + int(buttons.size()) * buttonCell + gap + int(2 * shownSizes.size()) * iconCell + gap;
    const int height = gap + ButtonSize.height() + captionHeight + gap;
    QImage sheet(width, height, QImage::Format_RGB32);
    sheet.fill(QColor(128, 128, 128));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 7));
    p.setPen(Qt::white);
    const int bottom = gap + ButtonSize.height();
    int x = gap;
    auto place = [&](const QImage &image, const QString &caption, int cell) {
        p.drawImage(x + (cell - image.width()) / 2, bottom - image.height(), image);
        p.drawText(QRect(x, bottom + 2, cell, captionHeight), Qt::AlignHCenter | Qt::AlignTop, caption);
        x += cell;
    };
    for (std::size_t i = 0; i < buttons.size(); ++i)
        place(buttons[i], buttonNames[i], buttonCell);
    x += gap;
    for (int size : shownSizes)
        place(drawMainIcon(size), QStringLiteral("MAINICON %1").arg(size), iconCell);
    for (int size : shownSizes)
        place(drawOmniRigIcon(size), QStringLiteral("OMNIRIG %1").arg(size), iconCell);
    return sheet;
}

bool save(const QImage &image, const QString &path, const char *format)
{
    if (image.save(path, format))
        return true;
    QTextStream(stderr) << "velkor_artwork: cannot write " << path << '\n';
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 5) {
        QTextStream(stderr) << "usage: velkor_artwork <resources folder> <overview png> <hicolor folder> <icon name>\n";
        return 2;
    }
    if (!QFontDatabase::families().contains(QStringLiteral("DejaVu Sans")))
        QTextStream(stderr) << "velkor_artwork: DejaVu Sans is missing; the letters will differ\n";

    const QDir resources(args[1]);
    if (!resources.mkpath(QStringLiteral("panel")) || !resources.mkpath(QStringLiteral("icons"))) {
        QTextStream(stderr) << "velkor_artwork: cannot create folders in " << args[1] << '\n';
        return 1;
    }
    bool ok = true;
    const std::array<QString, 3> names{QStringLiteral("A2B"), QStringLiteral("SWAP"), QStringLiteral("B2A")};
    const std::array buttons{drawButton(Arrow::Right), drawButton(Arrow::Both), drawButton(Arrow::Left)};
    for (std::size_t i = 0; i < buttons.size(); ++i)
        ok = save(buttons[i], resources.filePath(QStringLiteral("panel/%1.bmp").arg(names[i])), "BMP") && ok;
    for (int size : IconSizes) {
        ok = save(drawMainIcon(size), resources.filePath(QStringLiteral("icons/MAINICON-%1.png").arg(size)), "PNG") &&
             ok;
        ok = save(drawOmniRigIcon(size), resources.filePath(QStringLiteral("icons/OMNIRIG-%1.png").arg(size)), "PNG") &&
             ok;
    }
    ok = save(drawOverview(buttons, names), args[2], "PNG") && ok;
    const QDir hicolor(args[3]);
    for (int size : ThemeSizes) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        ok = hicolor.mkpath(folder) &&
             save(drawMainIcon(size), hicolor.filePath(folder + QStringLiteral("/%1.png").arg(args[4])), "PNG") && ok;
    }
    return ok ? 0 : 1;
}
