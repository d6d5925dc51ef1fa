#include "panel/resources/PanelArtwork.h"

#include <QFile>
#include <QImage>
#include <QtEndian>
#include <QtTest>

class TestPanelResources : public QObject {
    Q_OBJECT

private slots:
    void buttonImages_data();
    void buttonImages();
    void iconsHaveEverySize_data();
    void iconsHaveEverySize();
    void iconsTellApart();
};

void TestPanelResources::buttonImages_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("A2B") << PanelArtwork::A2BImage;
    QTest::newRow("SWAP") << PanelArtwork::SWAPImage;
    QTest::newRow("B2A") << PanelArtwork::B2AImage;
}

void TestPanelResources::buttonImages()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("BM"));
    QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 28), quint16(24)); // bits per pixel

    const QImage image = QImage::fromData(bytes);
    QCOMPARE(image.size(), QSize(71, 56));
    // The corners share one flat colour, kept apart from the body, so that it can serve as transparent.
    const QRgb corner = image.pixel(0, image.height() - 1);
    QCOMPARE(image.pixel(0, 0), corner);
    QCOMPARE(image.pixel(image.width() - 1, 0), corner);
    QVERIFY(qBlue(image.pixel(4, 28)) > 2 * qRed(image.pixel(4, 28)));
}

void TestPanelResources::iconsHaveEverySize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QIcon>("icon");
    QTest::newRow("MAINICON") << "MAINICON" << PanelArtwork::mainIcon();
    QTest::newRow("OMNIRIG") << "OMNIRIG" << PanelArtwork::omniRigIcon();
}

void TestPanelResources::iconsHaveEverySize()
{
    QFETCH(QString, name);
    QFETCH(QIcon, icon);
    for (int size : PanelArtwork::IconSizes) {
        const QImage image(PanelArtwork::iconFile(name, size));
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(icon.pixmap(QSize(size, size), 1.0).size(), QSize(size, size));
    }
}

// MAINICON is blue and OMNIRIG orange at every size, so the tray shows at once which one it carries.
void TestPanelResources::iconsTellApart()
{
    auto blueOverRed = [](const QIcon &icon, int size) {
        const QImage image = icon.pixmap(QSize(size, size), 1.0).toImage();
        qint64 balance = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                balance += qBlue(image.pixel(x, y)) - qRed(image.pixel(x, y));
        return balance / (size * size);
    };
    for (int size : PanelArtwork::IconSizes) {
        QVERIFY2(blueOverRed(PanelArtwork::mainIcon(), size) > 10, qPrintable(QString::number(size)));
        QVERIFY2(blueOverRed(PanelArtwork::omniRigIcon(), size) < -10, qPrintable(QString::number(size)));
    }
}

QTEST_MAIN(TestPanelResources)
#include "tst_panel_resources.moc"
