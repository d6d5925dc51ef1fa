// The About box's layout as both faces build it, and the rule by which its wrapping labels break.
#include "about/core/AboutLayout.h"

#include <QtTest>

using AboutLayout::Part;
using AboutLayout::Rect;

class TestAboutLayout : public QObject {
    Q_OBJECT

private slots:
    void partsInTheOrderAndPlacesTheFacesUse();
    void wrapAtSpaces_data();
    void wrapAtSpaces();
};

void TestAboutLayout::partsInTheOrderAndPlacesTheFacesUse()
{
    // In the box's client area; the Qt box stacks later parts above earlier ones, so the order is its pixels.
    const struct {
        Part part;
        Rect inBox;
        const char *shows;
    } expected[] = {
        {Part::Panel1, {8, 8, 281, 137}, ""},
        {Part::ProductName, {72, 16, 68, 13}, "product"},
        {Part::Copyright, {72, 48, 44, 13}, "copyright"},
        {Part::Programmer, {72, 80, 59, 13}, "programmer"},
        {Part::OKButton, {111, 152, 75, 25}, "OK"},
        {Part::Panel2, {16, 16, 50, 50}, ""},
        {Part::Image1, {17, 17, 48, 48}, ""},
        {Part::Website, {72, 112, 44, 13}, "site"},
    };
    const AboutTexts texts{"title", "product", "copyright", "programmer", "site"};
    const auto rows = AboutLayout::rows();
    QCOMPARE(rows.size(), std::size(expected));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const AboutLayout::Row &row = rows[i];
        QCOMPARE(row.part, expected[i].part);
        QVERIFY(AboutLayout::inBox(row.part) == expected[i].inBox);
        QCOMPARE(AboutLayout::shownText(row, texts), std::string(expected[i].shows));
        const bool wraps = row.part == Part::Programmer || row.part == Part::Website;
        QCOMPARE(row.look == AboutLayout::Look::WrappingLabel, wraps);
    }
}

void TestAboutLayout::wrapAtSpaces_data()
{
    // Each character is a pixel wide.
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << "" << 10 << QStringList{""};
    QTest::newRow("fits exactly") << "ab cd" << 5 << QStringList{"ab cd"};
    QTest::newRow("breaks at the last space that fits") << "ab cd ef" << 5 << QStringList{"ab cd", "ef"};
    QTest::newRow("a word longer than the width stands whole")
        << "at https://x.example/a b" << 5 << QStringList{"at", "https://x.example/a", "b"};
    QTest::newRow("a long first word") << "abcdefgh ij" << 4 << QStringList{"abcdefgh", "ij"};
    QTest::newRow("spaces kept but the one a break replaces") << "a  b   cd" << 4 << QStringList{"a  b", "  cd"};
    QTest::newRow("paragraphs") << "ab\ncd\r\nef\n" << 10 << QStringList{"ab", "cd", "ef", ""};
    QTest::newRow("a lone carriage return is text") << "ab\rcd" << 10 << QStringList{"ab\rcd"};
    QTest::newRow("zero width") << "a b" << 0 << QStringList{"a", "b"};
}

void TestAboutLayout::wrapAtSpaces()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QStringList, lines);
    QStringList got;
    for (const std::string &line :
         AboutLayout::wrapAtSpaces(text.toStdString(), width, [](std::string_view s) { return int(s.size()); }))
        got << QString::fromStdString(line);
    QCOMPARE(got, lines);
}

QTEST_APPLESS_MAIN(TestAboutLayout)
#include "tst_about_layout.moc"
