// Draws a sheet of all 16 LED shapes in the four looks, each off and on, painted by real TAMAdvLed
// widgets on a grey parent and enlarged so that single pixels can be judged.
//
//   QT_QPA_PLATFORM=offscreen velkor_led_sheet docs/led-sheet.png
#include "led/qt/AMAdvLed.h"

#include <QApplication>
#include <QImage>
#include <QMetaEnum>
#include <QPainter>

#include <cstdio>

namespace {

constexpr int Cell = 19; // LED pitch on the unscaled sheet
constexpr int Scale = 5; // screen pixels per LED pixel in the picture
constexpr int LabelWidth = 150;
constexpr int HeadingHeight = 56;
const QColor PanelGrey(212, 208, 200);

struct Look {
    const char *title;
    TAMAdvLed::TBorder border;
    bool ctl3D;
};
constexpr Look Looks[] = {{"plain", TAMAdvLed::brDefault, true},
                          {"3DUP", TAMAdvLed::brRaised, true},
                          {"3DDWN", TAMAdvLed::brLowered, true},
                          {"FLAT", TAMAdvLed::brDefault, false}};
constexpr int LookCount = int(std::size(Looks));
constexpr int ShapeCount = TAMAdvLed::ltTriangleUp + 1;

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }

    QWidget sheet;
    QPalette palette = sheet.palette();
    palette.setColor(QPalette::Window, PanelGrey);
    sheet.setPalette(palette);
    sheet.setAutoFillBackground(true);
    sheet.resize(LookCount * 2 * Cell, ShapeCount * Cell);
    for (int shape = 0; shape < ShapeCount; ++shape)
        for (int look = 0; look < LookCount; ++look)
            for (int on = 0; on < 2; ++on) {
                auto *led = new TAMAdvLed(&sheet);
                led->setLedType(TAMAdvLed::TLedType(shape));
                led->setBorderStyle(Looks[look].border);
                led->setCtl3D(Looks[look].ctl3D);
                led->setLedOn(on != 0);
                led->move((look * 2 + on) * Cell + (Cell - TAMAdvLed::LedSize) / 2,
                          shape * Cell + (Cell - TAMAdvLed::LedSize) / 2);
                led->loaded();
            }
    const QImage leds =
        sheet.grab().toImage().scaled(sheet.size() * Scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);

    QImage picture(LabelWidth + leds.width(), HeadingHeight + leds.height(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawImage(LabelWidth, HeadingHeight, leds);
    painter.setPen(Qt::black);
    const int cell = Cell * Scale;
    for (int look = 0; look < LookCount; ++look) {
        const QRect top(LabelWidth + look * 2 * cell, 0, 2 * cell, HeadingHeight / 2);
        painter.drawText(top, Qt::AlignCenter, Looks[look].title);
        for (int on = 0; on < 2; ++on)
            painter.drawText(top.translated(on * cell, HeadingHeight / 2).adjusted(0, 0, -cell, 0), Qt::AlignCenter,
                             on ? "on" : "off");
    }
    const QMetaEnum types = QMetaEnum::fromType<TAMAdvLed::TLedType>();
    for (int shape = 0; shape < ShapeCount; ++shape)
        painter.drawText(QRect(8, HeadingHeight + shape * cell, LabelWidth - 8, cell), Qt::AlignVCenter,
                         types.valueToKey(shape));
    painter.end();

    if (!picture.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
