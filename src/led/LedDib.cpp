#include "LedDib.h"

#include <QtEndian>

#include <array>

namespace LedDib {

namespace {

constexpr qsizetype InfoHeaderSize = 40;
constexpr int PaletteEntrySize = 4;
constexpr int MaxPaletteEntries = 16;

template <typename T> T readLittle(const QByteArray &bytes, qsizetype offset)
{
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

} // namespace

bool decode(const QByteArray &dib, QImage &target)
{
    if (dib.size() < InfoHeaderSize || target.format() != QImage::Format_RGB32)
        return false;
    const auto headerSize = readLittle<quint32>(dib, 0);
    const auto width = readLittle<qint32>(dib, 4);
    const auto height = readLittle<qint32>(dib, 8);
    const auto planes = readLittle<quint16>(dib, 12);
    const auto bitCount = readLittle<quint16>(dib, 14);
    const auto compression = readLittle<quint32>(dib, 16);
    const auto colorsUsed = readLittle<quint32>(dib, 32);
    // A negative height would mean top-down rows; the images are all bottom-up, so it is refused
    // along with every other size that is not the target's.
    if (headerSize != InfoHeaderSize || planes != 1 || bitCount != 4 || compression != 0 || width != target.width() ||
        height != target.height() || colorsUsed > MaxPaletteEntries)
        return false;

    const int paletteEntries = colorsUsed == 0 ? MaxPaletteEntries : int(colorsUsed);
    const qsizetype rowBytes = ((qsizetype(width) * 4 + 31) / 32) * 4;
    const qsizetype pixelOffset = InfoHeaderSize + qsizetype(paletteEntries) * PaletteEntrySize;
    if (dib.size() < pixelOffset + rowBytes * height)
        return false;

    std::array<QRgb, MaxPaletteEntries> palette{};
    for (int i = 0; i < paletteEntries; ++i) {
        const auto *entry = reinterpret_cast<const uchar *>(dib.constData() + InfoHeaderSize + i * PaletteEntrySize);
        palette[i] = qRgb(entry[2], entry[1], entry[0]);
    }

    // Check every index before writing, so that a bad bitmap leaves the old picture whole.
    const auto *pixels = reinterpret_cast<const uchar *>(dib.constData() + pixelOffset);
    auto indexAt = [&](int x, int y) {
        const uchar byte = pixels[y * rowBytes + x / 2];
        return x % 2 == 0 ? byte >> 4 : byte & 0x0F;
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (indexAt(x, y) >= paletteEntries)
                return false;

    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(target.scanLine(height - 1 - y));
        for (int x = 0; x < width; ++x)
            line[x] = palette[indexAt(x, y)];
    }
    return true;
}

} // namespace LedDib
