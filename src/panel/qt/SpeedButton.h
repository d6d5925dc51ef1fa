// SpeedButton: a tool-bar style push button that shows an image and never takes the focus (the keyboard
// moves between the slider, the check box and the radio buttons only). The image is centred and clipped
// to the button; its corner colour, the bottom-left pixel, is see-through so the button face shows in the
// rounded corners. The image shifts by one pixel while the button is down. The second click of a double
// click comes as doubleClicked, not as a click.
// Threads: GUI thread.
#pragma once

#include <QAbstractButton>
#include <QPixmap>

class SpeedButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit SpeedButton(const QString &imageFile, QWidget *parent = nullptr);

    QSize sizeHint() const override;

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QPixmap m_glyph;
};
