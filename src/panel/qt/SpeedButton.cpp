#include "panel/qt/SpeedButton.h"

#include "panel/resources/PanelArtwork.h"

#include <QBitmap>
#include <QImage>
#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

SpeedButton::SpeedButton(const QString &imageFile, QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    const QImage image = PanelArtwork::readImage(imageFile);
    if (!image.isNull()) {
        m_glyph = QPixmap::fromImage(image);
        m_glyph.setMask(QBitmap::fromImage(image.createMaskFromColor(image.pixel(0, image.height() - 1))));
    }
}

QSize SpeedButton::sizeHint() const
{
    return m_glyph.isNull() ? QSize(23, 22) : m_glyph.size();
}

void SpeedButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    painter.drawPrimitive(QStyle::PE_PanelButtonCommand, option);
    if (m_glyph.isNull())
        return;
    QPixmap glyph = m_glyph;
    if (!isEnabled())
        glyph = style()->generatedIconPixmap(QIcon::Disabled, m_glyph, &option);
    QPoint topLeft((width() - glyph.width()) / 2, (height() - glyph.height()) / 2);
    if (isDown())
        topLeft += QPoint(1, 1);
    painter.drawPixmap(topLeft, glyph);
}

void SpeedButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    else
        QAbstractButton::mouseDoubleClickEvent(event);
}
