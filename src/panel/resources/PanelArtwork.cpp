#include "panel/resources/PanelArtwork.h"

namespace PanelArtwork {

namespace {

QIcon iconWithAllSizes(const QString &name)
{
    QIcon icon;
    for (int size : IconSizes)
        icon.addFile(iconFile(name, size), QSize(size, size));
    return icon;
}

} // namespace

QString iconFile(const QString &name, int size)
{
    return QStringLiteral(":/icons/%1-%2.png").arg(name).arg(size);
}

QIcon mainIcon()
{
    return iconWithAllSizes(QStringLiteral("MAINICON"));
}

QIcon omniRigIcon()
{
    return iconWithAllSizes(QStringLiteral("OMNIRIG"));
}

} // namespace PanelArtwork
