#include "AMAdvLed.h"

#include "LedDib.h"

#include <QEvent>
#include <QFile>
#include <QPainter>
#include <QPointer>

#include <array>

namespace {

// The two key colours of every image, compared on RGB only.
constexpr QRgb Silver = 0xC0C0C0;
constexpr QRgb Olive = 0x808000;
constexpr QRgb RgbMask = 0xFFFFFF;

constexpr std::array<const char *, 16> BaseNames = {"AMDMDLED",      "AMLPSLEDHRZ",  "AMLPSLEDVRT",   "AMMONLEDLEFT",
                                                    "AMMONLEDRIGHT", "AMPRLLEDBCK",  "AMPRLLEDFWT",   "AMPNTLED",
                                                    "AMRNDLED",      "AMRCTLEDHRZ",  "AMRCTLEDVRT",   "AMSQRLED",
                                                    "AMTRILEDDWN",   "AMTRILEDLEFT", "AMTRILEDRIGHT", "AMTRILEDUP"};

QString imageName(TAMAdvLed::TLedType type, TAMAdvLed::TBorder border, bool ctl3D)
{
    QString name = QLatin1String(type < BaseNames.size() ? BaseNames[type] : "AMRNDLED");
    if (border == TAMAdvLed::brRaised)
        name += QLatin1String("3DUP");
    else if (border == TAMAdvLed::brLowered)
        name += QLatin1String("3DDWN");
    if (!ctl3D)
        name += QLatin1String("FLAT");
    return name;
}

QRgb toRgb(TAMAdvLed::TColor color)
{
    return qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

// Copies source to target pixel by pixel, putting replacement wherever source has exactly key.
void keyCopy(const QImage &source, QImage &target, QRgb key, QRgb replacement)
{
    // bits() first: source and target may be the same image.
    auto *to = reinterpret_cast<QRgb *>(target.bits());
    const auto *from = reinterpret_cast<const QRgb *>(source.constBits());
    const qsizetype count = qsizetype(source.width()) * source.height();
    for (qsizetype i = 0; i < count; ++i)
        to[i] = (from[i] & RgbMask) == key ? replacement : from[i];
}

} // namespace

TAMAdvLed::TAMAdvLed(QWidget *owner)
    : QWidget(owner), LedBitmap(LedSize, LedSize, QImage::Format_RGB32),
      WorkBitmap(LedBitmap.size(), QImage::Format_RGB32)
{
    setGeometry(0, 0, LedSize, LedSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
    LoadLedBitmap();
}

void TAMAdvLed::setBorderStyle(TBorder value)
{
    if (value == m_BorderStyle)
        return;
    m_BorderStyle = value;
    if (value != brDefault)
        m_Ctl3D = true;
    LoadLedBitmap();
}

void TAMAdvLed::setColor(qint32 index, TColor value)
{
    if (index == 0)
        m_ColorOff = value;
    else if (index == 1)
        m_ColorOn = value;
    redrawNow();
}

void TAMAdvLed::setCtl3D(bool value)
{
    if (value == m_Ctl3D)
        return;
    m_Ctl3D = value;
    if (!value)
        m_BorderStyle = brDefault;
    LoadLedBitmap();
}

void TAMAdvLed::setLedOn(bool value)
{
    if (value == m_LedOn)
        return;
    m_LedOn = value;
    // Wraps instead of overflowing, as a 32-bit counter that is never reset must.
    SwitchCount = qint32(quint32(SwitchCount) + 1u);
    if (m_OnLedStateChanged) {
        // The handler may replace itself or delete this LED; neither may pull the ground from under us.
        const TLedStateChanged handler = m_OnLedStateChanged;
        const QPointer<TAMAdvLed> alive(this);
        handler(this, value, SwitchCount);
        if (!alive)
            return;
    }
    redrawNow();
}

void TAMAdvLed::setLedType(TLedType value)
{
    if (value == m_LedType)
        return;
    m_LedType = value;
    LoadLedBitmap();
}

void TAMAdvLed::loaded()
{
    resize(LedSize, LedSize);
}

void TAMAdvLed::LoadLedBitmap()
{
    m_ImageName = imageName(m_LedType, m_BorderStyle, m_Ctl3D);
    QFile file(QLatin1String(":/led/%1.dib").arg(m_ImageName));
    if (!file.open(QIODevice::ReadOnly) || !LedDib::decode(file.readAll(), LedBitmap)) {
        // Only a broken build gets here; an LED that shows nothing is better than stale pixels.
        qWarning("TAMAdvLed: image %s is missing or damaged", qPrintable(m_ImageName));
        LedBitmap.fill(Olive);
    }
    redrawNow();
}

void TAMAdvLed::redrawNow()
{
    // repaint() paints into the parent's backing store before it returns; a hidden LED, or one whose
    // window has never been shown, paints nothing and is drawn by the next regular paint.
    if (isVisible())
        repaint();
}

QRgb TAMAdvLed::fillColor() const
{
    // The colour group is the parent's, so that an LED disabled on its own still matches the surface
    // around it.
    const QWidget *surface = parentWidget() ? parentWidget() : this;
    return palette().color(surface->palette().currentColorGroup(), backgroundRole()).rgb();
}

void TAMAdvLed::paintEvent(QPaintEvent *)
{
    keyCopy(LedBitmap, WorkBitmap, Silver, toRgb(m_LedOn ? m_ColorOn : m_ColorOff));
    // The second pass keys the output of the first: an olive lens colour turns into background.
    const QRgb fill = fillColor();
    keyCopy(WorkBitmap, WorkBitmap, Olive, fill);

    QPainter painter(this);
    painter.drawImage(0, 0, WorkBitmap);
    // Only before loaded() or after a resize: the widget is opaque, so cover the rest too.
    if (width() > LedSize)
        painter.fillRect(LedSize, 0, width() - LedSize, height(), QColor(fill));
    if (height() > LedSize)
        painter.fillRect(0, LedSize, LedSize, height() - LedSize, QColor(fill));
}

void TAMAdvLed::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // The palette follows the parent's, so this is also the parent's colour change.
    if (event->type() == QEvent::PaletteChange)
        redrawNow();
}
