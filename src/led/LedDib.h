// Decoding of the LED's image resources: uncompressed 4-bit device-independent bitmaps (a
// BITMAPINFOHEADER, a palette of up to 16 entries, bottom-up rows padded to 32 bits).
//
// The LED decodes into an image it allocated once, so the decoder writes into the caller's image
// instead of returning a new one. GUI thread or any other: it touches nothing shared.
#pragma once

#include <QByteArray>
#include <QImage>

namespace LedDib {

// Decodes dib into target, whose size must equal the bitmap's and whose format must be
// QImage::Format_RGB32. Returns false, leaving target unchanged, for anything else: a short or
// malformed header, another depth or compression, a palette index past the palette.
bool decode(const QByteArray &dib, QImage &target);

} // namespace LedDib
