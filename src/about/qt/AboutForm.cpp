#include "about/qt/AboutForm.h"

#include "about/qt/WordWrapLabel.h"

#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

// The layout, in pixels at 96 dpi, each position relative to the parent's client area.
constexpr QSize BoxClientSize(296, 182);
constexpr QRect Panel1Rect(8, 8, 281, 137);
constexpr QRect Panel2Rect(8, 8, 50, 50);
constexpr QRect Image1Rect(1, 1, 48, 48);
constexpr QRect ProductNameRect(64, 8, 68, 13);
constexpr QRect CopyrightRect(64, 40, 44, 13);
constexpr QRect ProgrammerRect(64, 72, 59, 13);
constexpr QRect WebsiteRect(64, 104, 44, 13);
constexpr QRect OKButtonRect(111, 152, 75, 25);

constexpr int ModalResultOK = 1;

template <typename Label>
Label *makeLabel(QWidget *parent, const char *name, const QRect &rect, const QString &placeholder)
{
    auto *label = new Label(parent);
    label->setObjectName(QLatin1String(name));
    // The texts come from the host and are shown as they are: never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(rect);
    label->setText(placeholder);
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(BoxClientSize);

    m_panel1 = new QFrame(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    // A lowered outer bevel around a raised inner one: an etched frame.
    m_panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_panel1->setLineWidth(1);
    m_panel1->setGeometry(Panel1Rect);

    m_productName = makeLabel<QLabel>(m_panel1, "ProductName", ProductNameRect, QStringLiteral("Product Name"));
    m_copyright = makeLabel<QLabel>(m_panel1, "Copyright", CopyrightRect, QStringLiteral("Copyright"));
    m_programmer = makeLabel<WordWrapLabel>(m_panel1, "Programmer", ProgrammerRect, QString());
    m_programmer->setWrappedText(QStringLiteral("Programmer:"), ProgrammerRect.width());

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("OKButton"));
    m_okButton->setGeometry(OKButtonRect);
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, [this] { OKButtonClick(m_okButton); });

    m_panel2 = new QFrame(m_panel1);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    m_panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panel2->setLineWidth(1);
    m_panel2->setGeometry(Panel2Rect);

    m_image1 = new QLabel(m_panel2);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setAlignment(Qt::AlignCenter);
    m_image1->setGeometry(Image1Rect);

    m_website = makeLabel<WordWrapLabel>(m_panel1, "Website", WebsiteRect, QString());
    m_website->setWrappedText(QStringLiteral("WebSite:"), WebsiteRect.width());
}

void TAboutBox::setProductName(const QString &text)
{
    fitOneLine(m_productName, text);
}

void TAboutBox::setCopyright(const QString &text)
{
    fitOneLine(m_copyright, text);
}

void TAboutBox::setProgrammer(const QString &text)
{
    m_programmer->setWrappedText(text, ProgrammerRect.width());
}

void TAboutBox::setWebsite(const QString &text)
{
    m_website->setWrappedText(text, WebsiteRect.width());
}

void TAboutBox::setPicture(const QIcon &icon)
{
    const QSize area = Image1Rect.size();
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
    m_image1->setPixmap(icon.pixmap(size, m_image1->devicePixelRatioF()));
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
