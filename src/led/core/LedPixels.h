// LedPixels: the LED's pictures as every face blits them.
//
// 13 x 13 pixels, row by row from the top-left corner, each a 32-bit 0xFFRRGGBB: opaque, as Qt's
// QImage::Format_RGB32 wants it, and the layout of a 32-bit top-down DIB on Windows, which ignores the top
// byte. Colours of the LED's properties come as 0x00BBGGRR (red in the low byte, a Windows COLORREF);
// ledPixelFromColor turns one into a pixel.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr int LedSize = 13;
inline constexpr std::size_t LedPixelCount = std::size_t(LedSize) * LedSize;

using LedPixels = std::array<std::uint32_t, LedPixelCount>;

constexpr std::uint32_t ledPixelFromColor(std::uint32_t bgr)
{
    return 0xFF000000u | (bgr & 0xFFu) << 16 | (bgr & 0xFF00u) | (bgr >> 16 & 0xFFu);
}
