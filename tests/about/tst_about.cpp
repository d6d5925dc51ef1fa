#include "about/qt/AboutDlg.h"
#include "about/qt/AboutForm.h"

#include <QApplication>
#include <QIconEngine>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <stdexcept>
#include <tuple>

namespace {

QList<TAboutBox *> aboutBoxes()
{
    QList<TAboutBox *> boxes;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<TAboutBox *>(widget))
            boxes << box;
    return boxes;
}

qsizetype countdowns(const TAboutDlg &dlg)
{
    return dlg.findChildren<QTimer *>(QStringLiteral("AboutCountdown")).size();
}

QStringList shownTexts(TAboutBox *box)
{
    QStringList texts{box->windowTitle()};
    for (const char *name : {"ProductName", "Copyright", "Programmer", "Website"})
        texts << box->findChild<QLabel *>(QLatin1String(name))->text();
    return texts;
}

QIcon solidIcon(QColor colour, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QColor imageColourAt(TAboutBox *box, QPoint at)
{
    return box->findChild<QLabel *>(QStringLiteral("Image1"))->grab().toImage().pixelColor(at);
}

// Runs one showing; `during` is called from inside its modal loop with the box on screen. A box left up by
// a broken component is closed after a minute, so that the failure shows instead of a hang.
void showing(TAboutDlg &dlg, const std::function<void(TAboutBox *)> &during)
{
    // Local timers, so that nothing of this showing can run after it.
    QTimer inLoop;
    inLoop.setSingleShot(true);
    QObject::connect(&inLoop, &QTimer::timeout, [&] {
        QCOMPARE(aboutBoxes().size(), 1);
        during(aboutBoxes().first());
    });
    inLoop.start(0);
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        for (TAboutBox *box : aboutBoxes())
            box->done(-1);
        QFAIL("the box stayed up");
    });
    watchdog.start(60000);
    dlg.Execute();
}

class ThrowingIconEngine : public QIconEngine {
public:
    void paint(QPainter *, const QRect &, QIcon::Mode, QIcon::State) override {}
    QPixmap pixmap(const QSize &, QIcon::Mode, QIcon::State) override { throw std::runtime_error("bad icon"); }
    QIconEngine *clone() const override { return new ThrowingIconEngine; }
};

enum class Action { Enter, Return, OkClick, CloseControl, Escape, None };

} // namespace

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void showsExactlyThePropertyTexts_data();
    void showsExactlyThePropertyTexts();
    void labelsFitTheirTexts_data();
    void labelsFitTheirTexts();
    void eachShowingBuildsAFreshBoxFromCurrentValues();
    void endingAShowing_data();
    void endingAShowing();
    void secondRequestRaisesTheBoxThatIsUp();
    void failureWhileFillingReleasesTheBox();
    void componentDestroyedDuringShowing();
};

void TestAbout::showsExactlyThePropertyTexts_data()
{
    QTest::addColumn<QStringList>("texts"); // title, product name, copyright, programmer, web site
    QTest::newRow("panel") << QStringList{"Velkor Using OmniRig", "VELKOR 1.5.00", "(c) 2026 the VELKOR developers",
                                          "Licence: GPL-3.0-or-later", "https://velkor.example.org/"};
    QTest::newRow("empty") << QStringList{"", "", "", "", ""};
    QTest::newRow("markup and ampersands")
        << QStringList{"A & B", "<b>VELKOR</b>", "Tom && Jerry", "Programmer: &x", "WebSite: <a href=x>y</a>"};
}

void TestAbout::showsExactlyThePropertyTexts()
{
    QFETCH(QStringList, texts);
    TAboutDlg dlg(nullptr);
    dlg.setTitle(texts[0]);
    dlg.setProductName(texts[1]);
    dlg.setCopyRight(texts[2]);
    dlg.setProgrammer(texts[3]);
    dlg.setWebSite(texts[4]);
    QStringList shown;
    showing(dlg, [&](TAboutBox *box) {
        shown = shownTexts(box);
        box->done(1);
    });
    QCOMPARE(shown, texts);
}

void TestAbout::labelsFitTheirTexts_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines"); // 0: more than one
    QTest::addColumn<bool>("widerThanLayout");
    QTest::newRow("long product name") << "ProductName"
                                       << "VELKOR 1.5.00 for two radios in step" << 1 << true;
    QTest::newRow("copyright") << "Copyright"
                               << "(c) 2026 the VELKOR developers" << 1 << true;
    QTest::newRow("licence") << "Programmer"
                             << "Licence: GPL-3.0-or-later" << 2 << true;
    QTest::newRow("words wrap") << "Programmer"
                                << "Free software under the GNU GPL" << 0 << false;
    QTest::newRow("short") << "Programmer"
                           << "GPL" << 1 << false;
    QTest::newRow("address stays whole") << "Website"
                                         << "https://velkor.example.org/" << 1 << true;
}

void TestAbout::labelsFitTheirTexts()
{
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(int, lines);
    QFETCH(bool, widerThanLayout);
    const QHash<QString, QRect> layout{{"ProductName", {64, 8, 68, 13}},
                                       {"Copyright", {64, 40, 44, 13}},
                                       {"Programmer", {64, 72, 59, 13}},
                                       {"Website", {64, 104, 44, 13}}};
    TAboutBox box;
    box.setProductName(label == "ProductName" ? text : "x");
    box.setCopyright(label == "Copyright" ? text : "x");
    box.setProgrammer(label == "Programmer" ? text : "x");
    box.setWebsite(label == "Website" ? text : "x");

    auto *fitted = box.findChild<QLabel *>(label);
    const QFontMetrics metrics = fitted->fontMetrics();
    QCOMPARE(fitted->width() > layout[label].width(), widerThanLayout);
    if (lines)
        QCOMPARE(fitted->height(), metrics.height() + (lines - 1) * metrics.lineSpacing());
    else
        QVERIFY(fitted->height() >= metrics.height() + metrics.lineSpacing());
    // Every word is drawn whole: the label holds its longest word, and the ink reaches its last quarter.
    for (const QString &word : text.split(' '))
        QVERIFY(fitted->width() >= metrics.horizontalAdvance(word));
    const QImage drawn = fitted->grab().toImage();
    bool inkAtRight = false;
    for (int x = drawn.width() * 3 / 4; x < drawn.width(); ++x)
        for (int y = 0; y < drawn.height(); ++y)
            inkAtRight = inkAtRight || qGray(drawn.pixel(x, y)) < 128;
    QVERIFY(inkAtRight);
    // Nothing moves to make room.
    for (auto it = layout.begin(); it != layout.end(); ++it)
        QCOMPARE(box.findChild<QLabel *>(it.key())->pos(), it.value().topLeft());
    QCOMPARE(box.findChild<QPushButton *>("OKButton")->geometry(), QRect(111, 152, 75, 25));
    QCOMPARE(box.size(), QSize(296, 182));
}

void TestAbout::eachShowingBuildsAFreshBoxFromCurrentValues()
{
    TAboutDlg dlg(nullptr);
    dlg.setProgrammer("Free software under the GNU GPL");
    dlg.setIcon(solidIcon(Qt::red, 16));
    QPointer<TAboutBox> first;
    QStringList firstAfterChange;
    QList<QColor> firstColours;
    showing(dlg, [&](TAboutBox *box) {
        first = box;
        dlg.setTitle("changed");
        dlg.setProductName("changed");
        dlg.setProgrammer("GPL");
        dlg.Icon().addPixmap(solidIcon(Qt::blue, 48).pixmap(48));
        firstAfterChange = shownTexts(box);
        // A 16-pixel icon is drawn at its own size, centred in the 48-pixel image.
        firstColours = {imageColourAt(box, {15, 15}), imageColourAt(box, {16, 16}), imageColourAt(box, {31, 31})};
        box->done(1);
    });
    QVERIFY(first.isNull());
    QCOMPARE(firstAfterChange, (QStringList{"", "", "", "Free software under the GNU GPL", ""}));
    QVERIFY(firstColours[0] != QColor(Qt::red));
    QCOMPARE(firstColours.mid(1), (QList<QColor>{Qt::red, Qt::red}));

    QStringList second;
    int programmerHeight = 0;
    QColor secondColour;
    showing(dlg, [&](TAboutBox *box) {
        second = shownTexts(box);
        programmerHeight = box->findChild<QLabel *>("Programmer")->height();
        secondColour = imageColourAt(box, {4, 4});
        box->done(1);
    });
    QCOMPARE(second, (QStringList{"changed", "changed", "", "GPL", ""}));
    QCOMPARE(programmerHeight, QFontMetrics(TAboutBox().font()).height());
    QCOMPARE(secondColour, QColor(Qt::blue));
    QVERIFY(aboutBoxes().isEmpty());
}

void TestAbout::endingAShowing_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("timer");
    QTest::addColumn<int>("interval"); // 0: the component's own
    QTest::addColumn<bool>("closes");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter") << Action::Enter << false << 0 << true << 1;
    QTest::newRow("Return") << Action::Return << false << 0 << true << 1;
    QTest::newRow("OK") << Action::OkClick << false << 0 << true << 1;
    QTest::newRow("close control") << Action::CloseControl << false << 0 << true << 0;
    QTest::newRow("Escape does nothing") << Action::Escape << false << 0 << false << 1;
    QTest::newRow("OK before the countdown") << Action::OkClick << true << 0 << true << 1;
    QTest::newRow("countdown runs out") << Action::None << true << 1 << true << 0;
}

void TestAbout::endingAShowing()
{
    QFETCH(Action, action);
    QFETCH(bool, timer);
    QFETCH(int, interval);
    QFETCH(bool, closes);
    QFETCH(int, result);
    TAboutDlg dlg(nullptr);
    dlg.setTimer(timer);
    if (interval)
        dlg.setCountdownInterval(interval);
    int finished = -1;
    qsizetype countdownsDuring = -1;
    int countdownInterval = 0;
    bool upAfterAction = false;
    showing(dlg, [&](TAboutBox *box) {
        QObject::connect(box, &QDialog::finished, [&](int r) { finished = r; });
        countdownsDuring = countdowns(dlg);
        if (countdownsDuring == 1)
            countdownInterval = dlg.findChild<QTimer *>("AboutCountdown")->interval();
        auto *ok = box->findChild<QPushButton *>("OKButton");
        switch (action) {
        case Action::Enter:
            QTest::keyClick(box, Qt::Key_Enter);
            break;
        case Action::Return:
            QTest::keyClick(box, Qt::Key_Return);
            break;
        case Action::OkClick:
            QTest::mouseClick(ok, Qt::LeftButton);
            break;
        case Action::CloseControl:
            box->close();
            break;
        case Action::Escape:
            QTest::keyClick(box, Qt::Key_Escape);
            break;
        case Action::None:
            return;
        }
        std::ignore = QTest::qWaitFor([&] { return !box->isVisible(); }, closes ? 10000 : 0);
        upAfterAction = box->isVisible();
        if (upAfterAction)
            ok->click();
    });
    QCOMPARE(upAfterAction, !closes);
    QCOMPARE(finished, result);
    if (action != Action::None) // a countdown this short may end the showing before anything looks
        QCOMPARE(countdownsDuring, timer ? 1 : 0);
    if (timer && !interval)
        QCOMPARE(countdownInterval, 15000);
    QCOMPARE(countdowns(dlg), 0);
    QVERIFY(aboutBoxes().isEmpty());
}

void TestAbout::secondRequestRaisesTheBoxThatIsUp()
{
    TAboutDlg dlg(nullptr);
    dlg.setTimer(true);
    QList<TAboutBox *> during;
    qsizetype countdownsDuring = 0;
    showing(dlg, [&](TAboutBox *box) {
        dlg.Execute();
        during = aboutBoxes();
        countdownsDuring = countdowns(dlg);
        box->done(1);
    });
    QCOMPARE(during.size(), 1);
    QCOMPARE(countdownsDuring, 1);
    QVERIFY(aboutBoxes().isEmpty());
    QCOMPARE(countdowns(dlg), 0);
}

void TestAbout::failureWhileFillingReleasesTheBox()
{
    TAboutDlg dlg(nullptr);
    dlg.setTimer(true);
    dlg.setIcon(QIcon(new ThrowingIconEngine));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, dlg.Execute());
    QVERIFY(aboutBoxes().isEmpty());
    QCOMPARE(countdowns(dlg), 0);

    dlg.setIcon(QIcon());
    bool shown = false;
    showing(dlg, [&](TAboutBox *box) {
        shown = true;
        box->done(1);
    });
    QVERIFY(shown);
}

void TestAbout::componentDestroyedDuringShowing()
{
    auto *owner = new QObject;
    auto *dlg = new TAboutDlg(owner);
    dlg->setTimer(true);
    showing(*dlg, [&](TAboutBox *) { delete owner; });
    QVERIFY(aboutBoxes().isEmpty());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
