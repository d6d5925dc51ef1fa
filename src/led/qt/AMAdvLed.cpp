#include "led/qt/AMAdvLed.h"

#include <QEvent>
#include <QPainter>

TAMAdvLed::TAMAdvLed(QWidget *owner) : QWidget(owner), WorkBitmap(LedSize, LedSize, QImage::Format_RGB32), m_core(*this)
{
    setGeometry(0, 0, LedSize, LedSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TAMAdvLed::setOnLedStateChanged(TLedStateChanged handler)
{
    m_OnLedStateChanged = std::move(handler);
    if (!m_OnLedStateChanged) {
        m_core.setOnLedStateChanged({});
        return;
    }
    // The core calls its own copy of this, holding its own copy of the handler: the handler may replace
    // itself or delete this LED while it runs.
    m_core.setOnLedStateChanged(
        [this, handler = m_OnLedStateChanged](bool on, std::int32_t count) { handler(this, on, count); });
}

void TAMAdvLed::loaded()
{
    resize(LedSize, LedSize);
}

QImage TAMAdvLed::ledBitmap() const
{
    const LedPixels &pixels = m_core.ledBitmap();
    return QImage(reinterpret_cast<const uchar *>(pixels.data()), LedSize, LedSize, LedSize * sizeof(QRgb),
                  QImage::Format_RGB32)
        .copy();
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
    const QRgb fill = fillColor();
    // 13 pixels of 32 bits fill a row with no padding: the image's bits are the core's layout.
    m_core.paint(fill, std::span<std::uint32_t, LedPixelCount>(reinterpret_cast<std::uint32_t *>(WorkBitmap.bits()),
                                                               LedPixelCount));

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
