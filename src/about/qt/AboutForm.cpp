#include "about/qt/AboutForm.h"

#include "about/qt/WordWrapLabel.h"

#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

using AboutLayout::Look;
using AboutLayout::Part;

namespace {

constexpr int ModalResultOK = 1;

QRect qtRect(const AboutLayout::Rect &rect)
{
    return QRect(rect.left, rect.top, rect.width, rect.height);
}

template <typename Label> Label *makeLabel(QWidget *parent)
{
    auto *label = new Label(parent);
    // The texts come from the host and are shown as they are: never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QFrame *makeFrame(QWidget *parent, int style)
{
    auto *frame = new QFrame(parent);
    frame->setFrameStyle(style);
    frame->setLineWidth(1);
    return frame;
}

} // namespace

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QLatin1String(AboutLayout::DefaultTitle));
    setFont(QFont(QLatin1String(AboutLayout::BoxFont.family), AboutLayout::BoxFont.points));
    setFixedSize(AboutLayout::ClientWidth, AboutLayout::ClientHeight);

    m_parts[std::size_t(Part::Box)] = this;
    for (const AboutLayout::Row &row : AboutLayout::rows()) {
        QWidget *made = makePart(row, m_parts[std::size_t(row.parent)]);
        made->setObjectName(QLatin1String(row.name));
        made->setGeometry(qtRect(row.rect));
        m_parts[std::size_t(row.part)] = made;
        showCaption(row);
    }
}

QWidget *TAboutBox::makePart(const AboutLayout::Row &row, QWidget *parent)
{
    switch (row.look) {
    case Look::EtchedFrame:
        // A lowered outer bevel around a raised inner one.
        return makeFrame(parent, QFrame::Box | QFrame::Sunken);
    case Look::SunkenPanel:
        return makeFrame(parent, QFrame::Panel | QFrame::Sunken);
    case Look::Image: {
        auto *image = new QLabel(parent);
        image->setAlignment(Qt::AlignCenter);
        return image;
    }
    case Look::Label:
        return makeLabel<QLabel>(parent);
    case Look::WrappingLabel:
        return makeLabel<WordWrapLabel>(parent);
    case Look::DefaultButton:
        break;
    }
    auto *button = new QPushButton(QString::fromUtf8(row.caption), parent);
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, [this, button] { OKButtonClick(button); });
    return button;
}

// The caption a label shows until the box is filled; a wrapping label fits itself to it.
void TAboutBox::showCaption(const AboutLayout::Row &row)
{
    const QString caption = QString::fromUtf8(row.caption);
    if (row.look == Look::Label)
        part<QLabel>(row.part)->setText(caption);
    else if (row.look == Look::WrappingLabel)
        part<WordWrapLabel>(row.part)->setWrappedText(caption, row.rect.width);
}

void TAboutBox::setProductName(const QString &text)
{
    fitOneLine(part<QLabel>(Part::ProductName), text);
}

void TAboutBox::setCopyright(const QString &text)
{
    fitOneLine(part<QLabel>(Part::Copyright), text);
}

void TAboutBox::setProgrammer(const QString &text)
{
    part<WordWrapLabel>(Part::Programmer)->setWrappedText(text, AboutLayout::row(Part::Programmer).rect.width);
}

void TAboutBox::setWebsite(const QString &text)
{
    part<WordWrapLabel>(Part::Website)->setWrappedText(text, AboutLayout::row(Part::Website).rect.width);
}

void TAboutBox::setPicture(const QIcon &icon)
{
    auto *image = part<QLabel>(Part::Image1);
    const QSize area = qtRect(AboutLayout::row(Part::Image1).rect).size();
    QSize size = area;
    const QList<QSize> sizes = icon.availableSizes();
    QSize largestFitting;
    for (const QSize &candidate : sizes) {
        if (candidate.width() <= area.width() && candidate.height() <= area.height() &&
            candidate.width() * candidate.height() > largestFitting.width() * largestFitting.height())
            largestFitting = candidate;
    }
    if (largestFitting.isValid() && !largestFitting.isEmpty())
        size = largestFitting;
    // The pixmap is made here, not when painted, so that a faulty icon fails while the box is being filled.
    image->setPixmap(icon.pixmap(size, image->devicePixelRatioF()));
}

void TAboutBox::OKButtonClick(QObject *sender)
{
    Q_UNUSED(sender);
    done(ModalResultOK);
}

void TAboutBox::keyPressEvent(QKeyEvent *event)
{
    // QDialog rejects on Escape; this box has no cancel, so Escape is swallowed. Enter still reaches QDialog,
    // which presses the default button.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// The same text measure QLabel paints with (no flags: '&' is literal), so the fitted label never clips.
void TAboutBox::fitOneLine(QLabel *label, const QString &text)
{
    label->setText(text);
    const QSize size = label->fontMetrics().size(0, text);
    label->resize(size.width(), std::max(size.height(), label->fontMetrics().height()));
}
