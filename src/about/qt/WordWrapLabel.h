// WordWrapLabel: a label that breaks its text only at spaces and fits itself to the result.
//
// QLabel's word wrap follows Unicode line breaking and splits a web address at its slashes and dots. The
// About box's layout was drawn for labels that break at spaces only, so that an address stays whole and
// widens the label instead; the rule is AboutLayout::wrapAtSpaces, which the Win32 box follows too. text()
// stays the text exactly as given.
// Threads: GUI thread only.
#pragma once

#include <QLabel>
#include <QStringList>

class WordWrapLabel : public QLabel {
public:
    explicit WordWrapLabel(QWidget *parent = nullptr);

    // Sets the text, breaks it at spaces to fit wrapWidth (a word wider than that gets a line of its own)
    // and resizes the label to the widest line and the number of lines; the top-left corner stays.
    void setWrappedText(const QString &text, int wrapWidth);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList m_lines;
};
