#include "panel/resources/PanelArtwork.h"

#include <QFileInfo>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace PanelArtwork {

namespace {

// An icon drawn from its compiled-in sizes, each read only when it is asked for. QIcon::addFile reads every
// size at once and keeps it (the 256 px one alone is a quarter of a megabyte, twice over, for an icon shown at
// 16 to 48 px), and it probes each file with every image-format plugin Qt has (see readImage). Sizes are
// picked as Qt's own engine picks them: the smallest that covers the size asked for, scaled down to it, else
// the largest.
class ArtworkIconEngine final : public QIconEngine {
public:
    explicit ArtworkIconEngine(QString name) : m_name(std::move(name)) {}

    QIconEngine *clone() const override { return new ArtworkIconEngine(m_name); }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int size : IconSizes)
            sizes << QSize(size, size);
        return sizes;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int drawn = drawnSize(size);
        QSize actual(drawn, drawn);
        if (drawn > size.width() || drawn > size.height())
            actual.scale(size, Qt::KeepAspectRatio);
        return actual;
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap = QPixmap::fromImage(readImage(iconFile(m_name, drawnSize(size))));
        const QSize actual = actualSize(size, mode, state);
        if (!pixmap.isNull() && pixmap.size() != actual)
            pixmap = pixmap.scaled(actual, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // A disabled or selected look is the style's, which Qt's own engine asks for.
        return mode == QIcon::Normal ? pixmap : QIcon(pixmap).pixmap(actual, mode, state);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }

private:
    static int drawnSize(const QSize &size)
    {
        const qint64 wanted = qint64(size.width()) * size.height();
        const auto it = std::find_if(IconSizes.begin(), IconSizes.end(),
                                     [wanted](int drawn) { return qint64(drawn) * drawn >= wanted; });
        return it != IconSizes.end() ? *it : IconSizes.back();
    }

    QString m_name;
};

} // namespace

QImage readImage(const QString &file)
{
    QImageReader reader(file, QFileInfo(file).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QString iconFile(const QString &name, int size)
{
    return QStringLiteral(":/icons/%1-%2.png").arg(name).arg(size);
}

QIcon mainIcon()
{
    return QIcon(new ArtworkIconEngine(QStringLiteral("MAINICON")));
}

QIcon omniRigIcon()
{
    return QIcon(new ArtworkIconEngine(QStringLiteral("OMNIRIG")));
}

} // namespace PanelArtwork
