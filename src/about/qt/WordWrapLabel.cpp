#include "about/qt/WordWrapLabel.h"

#include "about/core/AboutLayout.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace {

QStringList breakAtSpaces(const QString &text, const QFontMetrics &metrics, int wrapWidth)
{
    const auto measure = [&metrics](std::string_view line) {
        return metrics.horizontalAdvance(QString::fromUtf8(line.data(), qsizetype(line.size())));
    };
    QStringList lines;
    for (const std::string &line : AboutLayout::wrapAtSpaces(text.toStdString(), wrapWidth, measure))
        lines << QString::fromStdString(line);
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
