// The LED's images on Windows: the program's own bitmap resources (the build puts them into every program that
// links the LED), each held as the DIB a bitmap resource is. A resource stays mapped for the process's life.
#include "led/core/LedImages.h"

#include <windows.h>

#include <algorithm>
#include <string>

std::span<const std::uint8_t> ledImage(std::string_view name)
{
    // Resource names ignore case; the images' names are upper case, and a name in another case is none of them.
    if (name.empty() || std::any_of(name.begin(), name.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
        return {};
    const std::string key(name);
    HRSRC found = FindResourceA(nullptr, key.c_str(), MAKEINTRESOURCEA(2)); // RT_BITMAP
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void *bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return {};
    return {static_cast<const std::uint8_t *>(bytes), SizeofResource(nullptr, found)};
}
