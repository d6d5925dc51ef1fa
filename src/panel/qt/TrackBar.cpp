#include "panel/qt/TrackBar.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionSlider>
#include <qdrawutil.h>

TrackBar::TrackBar(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    connect(this, &QAbstractSlider::actionTriggered, this, &TrackBar::onAction);
    connect(this, &QAbstractSlider::valueChanged, this, &TrackBar::onValueChanged);
}

void TrackBar::setSelStart(int value)
{
    if (std::exchange(m_selStart, value) != value)
        update();
}

void TrackBar::setSelEnd(int value)
{
    if (std::exchange(m_selEnd, value) != value)
        update();
}

void TrackBar::onAction(int)
{
    // Qt signals an action before it moves the value, and not at all when the value stays. Commit the
    // position first, so the handler reads the new one, and signal once for the step either way.
    m_inAction = true;
    setValue(sliderPosition());
    m_inAction = false;
    emit changed();
}

void TrackBar::onValueChanged()
{
    if (!m_inAction)
        emit changed();
}

void TrackBar::keyReleaseEvent(QKeyEvent *event)
{
    QSlider::keyReleaseEvent(event);
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (!event->isAutoRepeat() && isEnabled())
            emit changed();
        break;
    default:
        break;
    }
}

void TrackBar::mousePressEvent(QMouseEvent *event)
{
    QSlider::mousePressEvent(event);
    m_mouseMoving = isSliderDown() || repeatAction() != SliderNoAction;
}

void TrackBar::mouseReleaseEvent(QMouseEvent *event)
{
    QSlider::mouseReleaseEvent(event);
    if (std::exchange(m_mouseMoving, false))
        emit changed();
}

int TrackBar::pixelForValue(int value) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.sliderPosition = value;
    option.sliderValue = value;
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this).center().x();
}

QRect TrackBar::channelRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int left = pixelForValue(minimum()) - 2;
    const int right = pixelForValue(maximum()) + 2;
    return {left, handle.center().y() - 2, right - left + 1, 5};
}

void TrackBar::paintEvent(QPaintEvent *)
{
    // The channel and the selection are drawn here: styles fill the groove up to the thumb, which would
    // show something else than the offset. The thumb comes from the style.
    QPainter painter(this);
    const QRect channel = channelRect();
    qDrawShadePanel(&painter, channel, palette(), true, 1);
    const int low = std::max(std::min(m_selStart, m_selEnd), minimum());
    const int high = std::min(std::max(m_selStart, m_selEnd), maximum());
    if (low < high) {
        const QRect selection(QPoint(pixelForValue(low), channel.top() + 1),
                              QPoint(pixelForValue(high), channel.bottom() - 1));
        painter.fillRect(selection,
                         palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Highlight));
    }
    if (tickPosition() != NoTicks && tickInterval() > 0) {
        painter.setPen(palette().color(QPalette::WindowText));
        const int top = channel.bottom() + 5;
        for (qint64 value = minimum(); value <= maximum(); value += tickInterval()) {
            const int x = pixelForValue(static_cast<int>(value));
            painter.drawLine(x, top, x, top + 2);
        }
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_SliderHandle;
    if (isSliderDown())
        option.activeSubControls = QStyle::SC_SliderHandle;
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}
