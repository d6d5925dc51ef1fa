// TAboutBox: the About box itself, a fixed layout that TAboutDlg fills and shows for one showing.
//
// Responsibilities: build the layout from AboutLayout's rows (every control at its fixed place, the captions
// placeholders until filled); size each label to the text it is given; end the showing with result 1 on OK
// or Enter, close on the frame's close control, and ignore Escape (there is no cancel button).
// Collaborations: created, filled, shown and deleted by TAboutDlg::Execute; knows nothing of the component.
// Threads: GUI thread only.
#pragma once

#include "about/core/AboutLayout.h"

#include <QDialog>
#include <QIcon>

#include <array>

class QLabel;

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);

    TAboutBox(const TAboutBox &) = delete;
    TAboutBox &operator=(const TAboutBox &) = delete;

    // Each label takes the text exactly as given (plain text, no markup, no mnemonic) and fits itself to it:
    // the product name and the copyright grow to the right on one line; the programmer and web-site lines
    // break at spaces to their layout widths and grow downwards, a word too long for that width
    // widening the label. Nothing else moves.
    void setProductName(const QString &text);
    void setCopyright(const QString &text);
    void setProgrammer(const QString &text);
    void setWebsite(const QString &text);

    // Draws the icon centred in the image area at its own size (the largest it has that fits), never
    // stretched. An empty icon leaves the area blank.
    void setPicture(const QIcon &icon);

    // The button's handler: ends the showing with result 1.
    void OKButtonClick(QObject *sender);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *makePart(const AboutLayout::Row &row, QWidget *parent);
    void showCaption(const AboutLayout::Row &row);
    template <typename Widget> Widget *part(AboutLayout::Part which) const
    {
        return static_cast<Widget *>(m_parts[std::size_t(which)]);
    }
    void fitOneLine(QLabel *label, const QString &text);

    // Each part's widget, by AboutLayout::Part; the box itself first.
    std::array<QWidget *, std::size_t(AboutLayout::Part::Website) + 1> m_parts{};
};
