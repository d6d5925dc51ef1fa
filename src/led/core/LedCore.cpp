#include "led/core/LedCore.h"

#include "led/core/LedDib.h"
#include "led/core/LedImages.h"

#include <array>
#include <string_view>

namespace {

// The two key colours of every image, compared on RGB only.
constexpr std::uint32_t Silver = 0xC0C0C0;
constexpr std::uint32_t Olive = 0x808000;
constexpr std::uint32_t RgbMask = 0xFFFFFF;

constexpr std::array<std::string_view, 16> BaseNames = {
    "AMDMDLED",    "AMLPSLEDHRZ",  "AMLPSLEDVRT",   "AMMONLEDLEFT", "AMMONLEDRIGHT", "AMPRLLEDBCK",
    "AMPRLLEDFWT", "AMPNTLED",     "AMRNDLED",      "AMRCTLEDHRZ",  "AMRCTLEDVRT",   "AMSQRLED",
    "AMTRILEDDWN", "AMTRILEDLEFT", "AMTRILEDRIGHT", "AMTRILEDUP"};

std::string imageNameFor(LedCore::TLedType type, LedCore::TBorder border, bool ctl3D)
{
    std::string name(type < BaseNames.size() ? BaseNames[type] : "AMRNDLED");
    if (border == LedCore::brRaised)
        name += "3DUP";
    else if (border == LedCore::brLowered)
        name += "3DDWN";
    if (!ctl3D)
        name += "FLAT";
    return name;
}

} // namespace

LedCore::LedCore(LedFace &face) : m_face(face)
{
    LoadLedBitmap();
}

LedCore::~LedCore() = default;

void LedCore::setBorderStyle(TBorder value)
{
    if (value == m_BorderStyle)
        return;
    m_BorderStyle = value;
    if (value != brDefault)
        m_Ctl3D = true;
    LoadLedBitmap();
}

void LedCore::setColor(std::int32_t index, TColor value)
{
    if (index == 0)
        m_ColorOff = value;
    else if (index == 1)
        m_ColorOn = value;
    m_face.redrawNow();
}

void LedCore::setCtl3D(bool value)
{
    if (value == m_Ctl3D)
        return;
    m_Ctl3D = value;
    if (!value)
        m_BorderStyle = brDefault;
    LoadLedBitmap();
}

void LedCore::setLedOn(bool value)
{
    if (value == m_LedOn)
        return;
    m_LedOn = value;
    // Wraps instead of overflowing, as a 32-bit counter that is never reset must.
    SwitchCount = std::int32_t(std::uint32_t(SwitchCount) + 1u);
    if (m_OnLedStateChanged) {
        // The handler may replace itself or destroy this LED; neither may pull the ground from under us.
        const StateChanged handler = m_OnLedStateChanged;
        const std::weak_ptr<const bool> alive = m_alive;
        handler(value, SwitchCount);
        if (alive.expired())
            return;
    }
    m_face.redrawNow();
}

void LedCore::setLedType(TLedType value)
{
    if (value == m_LedType)
        return;
    m_LedType = value;
    LoadLedBitmap();
}

void LedCore::LoadLedBitmap()
{
    m_ImageName = imageNameFor(m_LedType, m_BorderStyle, m_Ctl3D);
    // Every name built here is one of the images: the build refuses to make the table without all 64. Were
    // one damaged all the same, an LED that shows nothing is better than stale pixels.
    if (!LedDib::decode(ledImage(m_ImageName), LedBitmap))
        LedBitmap.fill(0xFF000000u | Olive);
    m_face.redrawNow();
}

void LedCore::paint(std::uint32_t fill, std::span<std::uint32_t, LedPixelCount> surface) const
{
    const std::uint32_t lens = ledPixelFromColor(m_LedOn ? m_ColorOn : m_ColorOff);
    for (std::size_t i = 0; i < LedPixelCount; ++i) {
        std::uint32_t pixel = LedBitmap[i];
        if ((pixel & RgbMask) == Silver)
            pixel = lens;
        // The second pass keys the output of the first: an olive lens colour turns into background.
        if ((pixel & RgbMask) == Olive)
            pixel = fill;
        surface[i] = pixel;
    }
}
