// ClickLabel: a label that reports a click (left button pressed and released over it) and, apart, the second
// click of a double click.
// Threads: GUI thread.
#pragma once

#include <QLabel>

class ClickLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};
