// PanelArtwork: the panel's compiled-in images under the names the panel knows them by.
//
// The three transfer-button images are 71 x 56, 24-bit, with the body on a flat corner colour; the
// bottom-left pixel holds that colour, for a button that wants the corners transparent. The two icons
// come in every size drawn for them (PanelArtwork::IconSizes).
// Threads: any thread once a QGuiApplication exists (QIcon and QPixmap are GUI types).
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

#include <array>

namespace PanelArtwork {

inline const QString A2BImage = QStringLiteral(":/panel/A2B.bmp");
inline const QString SWAPImage = QStringLiteral(":/panel/SWAP.bmp");
inline const QString B2AImage = QStringLiteral(":/panel/B2A.bmp");

// The image of the transfer button of that name (A2B, SWAP, B2A).
inline QString buttonImage(const QString &name)
{
    return QStringLiteral(":/panel/") + name + QStringLiteral(".bmp");
}

inline constexpr std::array IconSizes{16, 24, 32, 48, 64, 256};

// One of the images above, read by the format its name ends in. QImage(file) asks every image-format plugin Qt
// has whether it can read the file first (even with the format given), which loads every one of them.
QImage readImage(const QString &file);

// ":/icons/<name>-<size>.png", for name "MAINICON" or "OMNIRIG".
QString iconFile(const QString &name, int size);

// "MAINICON", the application's icon, and "OMNIRIG", the rig server's, with all their sizes.
QIcon mainIcon();
QIcon omniRigIcon();

} // namespace PanelArtwork
