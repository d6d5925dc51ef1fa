// LedDib: decoding of the LED's images: uncompressed 4-bit device-independent bitmaps (a
// BITMAPINFOHEADER, a palette of up to 16 entries, bottom-up rows padded to 32 bits).
//
// The LED decodes into pixels it holds for its whole life, so the decoder writes into the caller's array
// instead of returning a new one. Any thread: it touches nothing shared.
#pragma once

#include "led/core/LedPixels.h"

#include <cstdint>
#include <span>

namespace LedDib {

// Decodes a 13 x 13 bitmap into target (see LedPixels for the layout). Returns false, leaving target
// unchanged, for anything else: a short or malformed header, another size, depth or compression, a palette
// index past the palette.
bool decode(std::span<const std::uint8_t> dib, LedPixels &target);

} // namespace LedDib
