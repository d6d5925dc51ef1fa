// TrackBar: the offset slider. A horizontal slider with a selection range, painted on its channel, and
// one change signal that follows the rule the panel's handlers are written for:
//  - a position set from code signals when, and only when, it changes;
//  - the operator's every step of a drag, key press, click or wheel turn signals, also when the position
//    stays where it is, and the end of the movement (key or button released) signals once more.
// When changed() comes, value() and sliderPosition() both hold the new position.
// Threads: GUI thread.
#pragma once

#include <QSlider>

class TrackBar : public QSlider {
    Q_OBJECT

public:
    explicit TrackBar(QWidget *parent = nullptr);

    int selStart() const { return m_selStart; }
    int selEnd() const { return m_selEnd; }
    void setSelStart(int value);
    void setSelEnd(int value);

    // The channel's pixel column for a position, where the thumb's centre stands at that position.
    int pixelForValue(int value) const;

signals:
    void changed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void onAction(int action);
    void onValueChanged();
    QRect channelRect() const;

    int m_selStart = 0;
    int m_selEnd = 0;
    bool m_mouseMoving = false;
    bool m_inAction = false;
};
