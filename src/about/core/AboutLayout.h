// AboutLayout: the About box's fixed layout as data, and the rule by which its wrapping labels break.
//
// Responsibilities: the client size, the font and one row a part of the box, in the order the parts are
// made (later parts lie above earlier ones where they overlap): where it sits in its parent, which of the
// texts it shows or the caption it has until filled, and how it looks. Both faces make their controls
// from these rows; how a look is drawn is the toolkit's business.
// Collaborations: the Qt TAboutBox and the Win32 TAboutDlg read it; it knows no toolkit, so text widths
// come from the face's own measure.
// Threads: any; constant data.
#pragma once

#include "about/core/AboutTexts.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace AboutLayout {

// Pixels at 96 dpi.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const Rect &) const = default;
};

enum class Part { Box, Panel1, ProductName, Copyright, Programmer, OKButton, Panel2, Image1, Website };

enum class Look {
    EtchedFrame,   // a lowered outer bevel around a raised inner one
    SunkenPanel,   // a lowered bevel
    Image,         // the icon, centred at its own size
    Label,         // one line, as wide as its text
    WrappingLabel, // broken at spaces to the row's width (wrapAtSpaces), as wide as its widest line
    DefaultButton, // ends the showing with OK; Enter presses it
};

// Which of the texts a part shows once the box is filled.
enum class Shows { Caption, ProductName, CopyRight, Programmer, WebSite };

struct Row {
    Part part;
    const char *name; // the control's name, as tests and tools find it
    Part parent;      // Part::Box: the box's client area
    Rect rect;        // in the parent's client area
    Look look;
    Shows shows;
    const char *caption; // shown until the box is filled, and after it for Shows::Caption
};

struct Font {
    const char *family;
    int points;
};

inline constexpr int ClientWidth = 296;
inline constexpr int ClientHeight = 182;
inline constexpr Font BoxFont{"MS Sans Serif", 8};
// The window title until the box is filled.
inline constexpr const char *DefaultTitle = "About";

// Every part but the box itself, in the order they are made.
std::span<const Row> rows();
// The row of one part; Part::Box has none.
const Row &row(Part part);
// A part's place in the box's client area, through its parents.
Rect inBox(Part part);
// What a part shows once the box is filled with texts.
std::string shownText(const Row &row, const AboutTexts &texts);

// Breaks text into lines at spaces only: each paragraph (ended by "\n" or "\r\n") starts a line, and a word
// joins the line before it, with its single space, while measure says the longer line fits width. A word
// wider than width stands on a line of its own and is not broken. Every space but the one a break replaces
// is kept; an empty text is one empty line.
std::vector<std::string> wrapAtSpaces(std::string_view text, int width,
                                      const std::function<int(std::string_view)> &measure);

} // namespace AboutLayout
