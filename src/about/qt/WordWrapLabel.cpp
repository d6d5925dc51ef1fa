#include "about/qt/WordWrapLabel.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace {

QStringList breakAtSpaces(const QString &text, const QFontMetrics &metrics, int wrapWidth)
{
    QStringList lines;
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (const QString &paragraph : normalised.split(QLatin1Char('\n'))) {
        QString line;
        bool first = true;
        for (const QString &word : paragraph.split(QLatin1Char(' '))) {
            if (first) {
                line = word;
                first = false;
                continue;
            }
            const QString longer = line + QLatin1Char(' ') + word;
            if (metrics.horizontalAdvance(longer) <= wrapWidth) {
                line = longer;
            } else {
                lines << line;
                line = word;
            }
        }
        lines << line;
    }
    return lines;
}

} // namespace

WordWrapLabel::WordWrapLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void WordWrapLabel::setWrappedText(const QString &text, int wrapWidth)
{
    setText(text);
    const QFontMetrics metrics = fontMetrics();
    m_lines = breakAtSpaces(text, metrics, wrapWidth);
    int width = 0;
    for (const QString &line : std::as_const(m_lines))
        width = std::max(width, metrics.horizontalAdvance(line));
    resize(width, metrics.height() + int(m_lines.size() - 1) * metrics.lineSpacing());
}

void WordWrapLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    for (int i = 0; i < m_lines.size(); ++i) {
        const QRect lineRect(0, i * metrics.lineSpacing(), width(), metrics.height());
        style()->drawItemText(&painter, lineRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, palette(),
                              isEnabled(), m_lines.at(i), foregroundRole());
    }
}
