// LedCore: what a 13 x 13 LED lamp decides, whatever toolkit draws it.
//
// Responsibilities: keeps the LED's properties and the rules that tie them together (a flat look has no
// border style, a border style needs the 3D look); picks one of the 64 images by name when the shape or
// look changes and holds it decoded; counts the real switches and calls the state-change handler; asks its
// face to redraw at once wherever a write shows; and makes the pixels of a paint, the same on every face:
// the image recoloured in two colour-key passes, the silver lens to the on or off colour, then the olive
// background to the colour of the surface the LED sits on.
// Collaborations: the face (LedFace) owns its core, forwards the property writes to it, redraws when it is
// asked and blits what paint() gives. The images come from ledImage, decoded by LedDib.
// Threads: the GUI thread. The handler runs synchronously inside the LedOn write.
#pragma once

#include "led/core/LedFace.h"
#include "led/core/LedPixels.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

class LedCore {
public:
    enum TBorder : std::uint8_t { brDefault, brRaised, brLowered };
    enum TLedType : std::uint8_t {
        ltDiamond,
        ltEllipsHrz,
        ltEllipsVrt,
        ltMoonLeft,
        ltMoonRight,
        ltParallelBck,
        ltParallelFwd,
        ltPentagon,
        ltRound,
        ltRectangleHrz,
        ltRectangleVrt,
        ltSquare,
        ltTriangleDwn,
        ltTriangleLeft,
        ltTriangleRight,
        ltTriangleUp
    };

    // 0x00BBGGRR: red in the low byte. The top byte is kept but plays no part in painting.
    using TColor = std::uint32_t;
    // The face gives its handler the face's own LED as the sender.
    using StateChanged = std::function<void(bool LedOn, std::int32_t NumSwitch)>;

    // Off, round, raised, dark green when off and lime when on; loads that image and asks for a redraw.
    explicit LedCore(LedFace &face);
    ~LedCore();

    LedCore(const LedCore &) = delete;
    LedCore &operator=(const LedCore &) = delete;

    TBorder BorderStyle() const { return m_BorderStyle; }
    // Any style but brDefault also turns Ctl3D on. Out-of-range values are kept and add no suffix.
    void setBorderStyle(TBorder value);

    TColor ColorOff() const { return m_ColorOff; }
    TColor ColorOn() const { return m_ColorOn; }
    // The one colour write behind ColorOff (index 0) and ColorOn (index 1); other indices change nothing.
    // Redraws in every case, also when the colour was already set.
    void setColor(std::int32_t index, TColor value);

    bool Ctl3D() const { return m_Ctl3D; }
    // Turning it off also sets BorderStyle to brDefault; turning it on does not bring the style back.
    void setCtl3D(bool value);

    bool LedOn() const { return m_LedOn; }
    // A real change counts, calls the handler with the new count, then redraws. Writing the current value
    // does nothing at all. The handler may write LedOn again (a whole nested switch runs before this one
    // redraws), replace itself, or destroy the LED and its core: nothing of the LED is touched after that.
    void setLedOn(bool value);

    TLedType LedType() const { return m_LedType; }
    // Out-of-range values are kept and show the round LED.
    void setLedType(TLedType value);

    void setOnLedStateChanged(StateChanged handler) { m_OnLedStateChanged = std::move(handler); }

    // The image last loaded, e.g. "AMRNDLED3DUP", and its pixels before recolouring.
    const std::string &imageName() const { return m_ImageName; }
    const LedPixels &ledBitmap() const { return LedBitmap; }

    // The picture to show, into surface: the loaded image with its lens in the current colour, then its
    // background, and a lens that came out olive, in fill (a pixel, see LedPixels).
    void paint(std::uint32_t fill, std::span<std::uint32_t, LedPixelCount> surface) const;

private:
    void LoadLedBitmap();

    LedFace &m_face;
    LedPixels LedBitmap{};
    std::string m_ImageName;
    TBorder m_BorderStyle = brRaised;
    TColor m_ColorOff = 0x008000;
    TColor m_ColorOn = 0x00FF00;
    bool m_Ctl3D = true;
    bool m_LedOn = false;
    TLedType m_LedType = ltRound;
    std::int32_t SwitchCount = 0;
    StateChanged m_OnLedStateChanged;
    // Expires with the core: tells a switch whose handler destroyed the LED to touch nothing more.
    std::shared_ptr<const bool> m_alive = std::make_shared<const bool>(true);
};
