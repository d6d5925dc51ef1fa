// PanelLayout: the panel window as data: its place, client area, colour and fonts, the offset slider's range
// and steps, and the 14 controls in creation order with their name, kind, place, caption, hint, tab stop and
// font. Every face builds its window from these tables and adds only what its toolkit needs; moving a control
// is one edit here.
// Threads: constants only.
#pragma once

#include "panel/core/PanelFace.h"
#include "panel/core/PanelSettings.h"

#include <array>

namespace Panel {

enum class ControlKind { SpeedButton, Led, Label, ClickLabel, TrackBar, CheckBox, RadioButton };
enum class FontRole { Window, Label };

// Client coordinates, in pixels.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Font {
    const char *face;
    int points;
};

struct ControlLayout {
    Control control;
    const char *name; // also the speed buttons' image
    ControlKind kind;
    Rect place;
    const char *caption;
    const char *hint;
    bool tabStop;
    FontRole font;
};

struct WindowLayout {
    const char *name;
    const char *caption;
    Point position;
    // The frame of 224 x 167 outside, on the desktop the layout was drawn on (4-pixel sizing borders, a
    // 19-pixel caption), holds this client area; each face puts its own frame around it.
    int clientWidth;
    int clientHeight;
    Colour background;
    Font windowFont;
    Font labelFont;
    const char *trayTip;
};

struct SliderLayout {
    int minimum;
    int maximum;
    int tickInterval;
    // A key moves it 1 Hz and a page 2, as a Windows track bar does by default.
    int lineStep;
    int pageStep;
    int position;
    int selectionStart;
    int selectionEnd;
};

inline constexpr WindowLayout Window{.name = "SO2VPanel",
                                     .caption = "VE2Z",
                                     .position = {317, 109},
                                     .clientWidth = 216,
                                     .clientHeight = 140,
                                     .background = 0x808080,
                                     .windowFont = {"MS Sans Serif", 8},
                                     .labelFont = {"Verdana", 8},
                                     .trayTip = "VELKOR"};

inline constexpr SliderLayout Slider{.minimum = PanelSettings::MinPosition,
                                     .maximum = PanelSettings::MaxPosition,
                                     .tickInterval = 10,
                                     .lineStep = 1,
                                     .pageStep = 2,
                                     .position = PanelSettings::CentrePosition,
                                     .selectionStart = PanelSettings::CentrePosition,
                                     .selectionEnd = PanelSettings::CentrePosition};

// Bottom to top: where controls overlap, a later one lies over an earlier one (RIT over the slider's end).
// The LEDs are stored at 17 x 17 and fix themselves at 13 x 13 when loaded.
// clang-format off
inline constexpr std::array<ControlLayout, 14> Controls{{
    // control, name (also of its image), kind, left, top, width, height, caption, hint, tab stop, font
    {Control::A2B, "A2B", ControlKind::SpeedButton, {2, 4, 65, 41}, "", "", false, FontRole::Window},
    {Control::SWAP, "SWAP", ControlKind::SpeedButton, {70, 4, 65, 41}, "", "", false, FontRole::Window},
    {Control::B2A, "B2A", ControlKind::SpeedButton, {139, 4, 65, 41}, "", "", false, FontRole::Window},
    {Control::Rig1LED, "Rig1LED", ControlKind::Led, {4, 48, 17, 17}, "", "", false, FontRole::Window},
    {Control::Rig2LED, "Rig2LED", ControlKind::Led, {115, 48, 17, 17}, "", "", false, FontRole::Window},
    {Control::Rig1, "Rig1", ControlKind::Label, {20, 50, 89, 14}, "Rig1", "", false, FontRole::Label},
    {Control::Rig2, "Rig2", ControlKind::Label, {132, 49, 73, 17}, "Rig2", "", false, FontRole::Label},
    {Control::OmniRig, "OmniRig", ControlKind::Label, {6, 64, 187, 14}, "OmniRig status", "", false, FontRole::Label},
    {Control::ShiftHZ, "ShiftHZ", ControlKind::ClickLabel, {147, 81, 59, 16}, "+0000 Hz", "", false, FontRole::Label},
    {Control::Shift, "Shift", ControlKind::TrackBar, {12, 78, 137, 17}, "", "", true, FontRole::Window},
    {Control::RIT, "RIT", ControlKind::CheckBox, {4, 80, 17, 17}, "RIT", "", true, FontRole::Window},
    {Control::TrackNone, "TrackNone", ControlKind::RadioButton, {16, 104, 57, 17}, "None", "", true, FontRole::Window},
    {Control::TrackRig1, "TrackRig1", ControlKind::RadioButton, {81, 104, 57, 17}, "Rig1", "Track Rig1", true,
     FontRole::Window},
    {Control::TrackRig2, "TrackRig2", ControlKind::RadioButton, {147, 104, 57, 17}, "Rig2", "Track Rig 2", true,
     FontRole::Window},
}};
// clang-format on

constexpr const ControlLayout &layoutOf(Control control)
{
    return Controls[static_cast<std::size_t>(control)];
}

// The table is in the order of Control, so a control's entry is at its own place.
static_assert([] {
    for (std::size_t i = 0; i < Controls.size(); ++i)
        if (static_cast<std::size_t>(Controls[i].control) != i)
            return false;
    return true;
}());

} // namespace Panel
