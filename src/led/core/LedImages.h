// ledImage: the LED's 64 images (16 shapes in four looks), kept in the program: compiled in as data, or on
// Windows as the program's own bitmap resources.
//
// Each is a 13 x 13, 4-bit device-independent bitmap of 208 bytes (see LedDib), found by its name: the
// shape's base name and the look's suffix, e.g. "AMRNDLED3DUP". The build makes them from the checked-in
// files in src/led/images, which tools/ledimages draws. Any thread: the data never changes.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The bytes of the image of that name (case-sensitive), or an empty span for a name that is none of them.
std::span<const std::uint8_t> ledImage(std::string_view name);
