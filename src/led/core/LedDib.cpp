#include "led/core/LedDib.h"

#include <array>
#include <cstddef>

namespace LedDib {

namespace {

constexpr std::size_t InfoHeaderSize = 40;
constexpr std::size_t PaletteEntrySize = 4;
constexpr std::uint32_t MaxPaletteEntries = 16;

std::uint32_t readU32(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return std::uint32_t(bytes[offset]) | std::uint32_t(bytes[offset + 1]) << 8 |
           std::uint32_t(bytes[offset + 2]) << 16 | std::uint32_t(bytes[offset + 3]) << 24;
}

std::uint16_t readU16(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return std::uint16_t(bytes[offset] | bytes[offset + 1] << 8);
}

} // namespace

bool decode(std::span<const std::uint8_t> dib, LedPixels &target)
{
    if (dib.size() < InfoHeaderSize)
        return false;
    const std::uint32_t headerSize = readU32(dib, 0);
    const auto width = std::int32_t(readU32(dib, 4));
    const auto height = std::int32_t(readU32(dib, 8));
    const std::uint16_t planes = readU16(dib, 12);
    const std::uint16_t bitCount = readU16(dib, 14);
    const std::uint32_t compression = readU32(dib, 16);
    const std::uint32_t colorsUsed = readU32(dib, 32);
    // A negative height would mean top-down rows; the images are all bottom-up, so it is refused along
    // with every other size that is not the LED's.
    if (headerSize != InfoHeaderSize || planes != 1 || bitCount != 4 || compression != 0 || width != LedSize ||
        height != LedSize || colorsUsed > MaxPaletteEntries)
        return false;

    const std::uint32_t paletteEntries = colorsUsed == 0 ? MaxPaletteEntries : colorsUsed;
    constexpr std::size_t RowBytes = (std::size_t(LedSize) * 4 + 31) / 32 * 4;
    const std::size_t pixelOffset = InfoHeaderSize + paletteEntries * PaletteEntrySize;
    if (dib.size() < pixelOffset + RowBytes * LedSize)
        return false;

    std::array<std::uint32_t, MaxPaletteEntries> palette{};
    for (std::uint32_t i = 0; i < paletteEntries; ++i) {
        const std::size_t entry = InfoHeaderSize + i * PaletteEntrySize; // blue, green, red, reserved
        palette[i] =
            0xFF000000u | std::uint32_t(dib[entry + 2]) << 16 | std::uint32_t(dib[entry + 1]) << 8 | dib[entry];
    }

    // Check every index before writing, so that a bad bitmap leaves the old picture whole.
    const std::span<const std::uint8_t> pixels = dib.subspan(pixelOffset);
    auto indexAt = [&](int x, int y) -> std::uint32_t {
        const std::uint8_t byte = pixels[std::size_t(y) * RowBytes + std::size_t(x) / 2];
        return x % 2 == 0 ? byte >> 4 : byte & 0x0Fu;
    };
    for (int y = 0; y < LedSize; ++y)
        for (int x = 0; x < LedSize; ++x)
            if (indexAt(x, y) >= paletteEntries)
                return false;

    for (int y = 0; y < LedSize; ++y)
        for (int x = 0; x < LedSize; ++x)
            target[std::size_t(LedSize - 1 - y) * LedSize + std::size_t(x)] = palette[indexAt(x, y)];
    return true;
}

} // namespace LedDib
