// PanelFace: what the panel's decisions need from a face (the Qt window, the Win32 window): show what the core
// says on the controls, show a box and give its answer, keep the tray icon and the menus. A face decides
// nothing: it draws and hands what the operator did to PanelCore.
// Setting a control here never runs a handler: the core runs its own handlers when it changes a control.
// Threads: the panel's thread only.
#pragma once

#include "about/core/AboutTexts.h"

#include <cstdint>
#include <string>

namespace Panel {

// The window's controls, by the names the layout gives them.
enum class Control { A2B, SWAP, B2A, Rig1LED, Rig2LED, Rig1, Rig2, OmniRig, ShiftHZ, Shift, RIT, TrackNone, TrackRig1, TrackRig2 };

// 0x00BBGGRR, as the LED takes it.
using Colour = std::uint32_t;

enum class BoxIcon { None, Stop };
enum class BoxButtons { Ok, OkCancel };
enum class BoxAnswer { Ok, Cancel };

// A message box: modal to the panel, captioned exactly as given (an empty caption stays empty).
struct Box {
    std::string caption;
    std::string text;
    BoxIcon icon = BoxIcon::None;
    BoxButtons buttons = BoxButtons::Ok;
};

enum class TrayImage { Main, OmniRig };

struct Point {
    int x = 0;
    int y = 0;
};

// The texts of the About box, as start-up fills them: the About component's own record.
using AboutTexts = ::AboutTexts;

class PanelFace {
public:
    virtual ~PanelFace() = default;

    // The labels Rig1, Rig2, OmniRig and ShiftHZ.
    virtual void setText(Control label, const std::string &text) = 0;
    virtual void setVisible(Control control, bool visible) = 0;
    virtual void setEnabled(Control control, bool enabled) = 0;
    // RIT and the three tracking buttons; checking one tracking button clears the other two.
    virtual void setChecked(Control control, bool checked) = 0;
    virtual void setShiftPosition(int position) = 0;
    virtual void setShiftSelection(int start, int end) = 0;
    // Gives the control the keyboard focus.
    virtual void setFocus(Control control) = 0;
    // LedOn and ColorOn of Rig1LED or Rig2LED; each write redraws the LED at once.
    virtual void setLedOn(Control led, bool on) = 0;
    virtual void setLedColour(Control led, Colour colour) = 0;

    // Shows the box until the operator answers it; the rig server's events and the tray go on meanwhile.
    virtual BoxAnswer showBox(const Box &box) = 0;
    // Shows the box and returns at once.
    virtual void showNote(const Box &box) = 0;
    virtual void setAboutTexts(const AboutTexts &texts) = 0;
    // Shows the About box until it is closed; with one up already, brings that one to the front.
    virtual void executeAbout() = 0;
    // The application's title: the general error display's caption; some platforms show it elsewhere too.
    virtual std::string applicationTitle() = 0;
    virtual void setApplicationTitle(const std::string &title) = 0;

    // Whether the desktop has a notification area for the tray icon.
    virtual bool trayAvailable() = 0;
    // Adds the tray icon (tip "VELKOR") or changes its image; removes it.
    virtual void showTrayIcon(TrayImage image) = 0;
    virtual void hideTrayIcon() = 0;
    // The tray menu's items in order; a choice comes back as PanelCore::trayMenuChosen(id).
    virtual void appendTrayMenuItem(int id, const std::string &caption) = 0;
    virtual void popupTrayMenu(Point at) = 0;

    // The window's system menu, edited as the system's own is.
    virtual bool setSystemMenuText(int command, const std::string &text) = 0;
    virtual bool removeSystemMenuItem(int position) = 0;
    virtual void appendSystemMenuSeparator() = 0;
    virtual void appendSystemMenuItem(int command, const std::string &text) = 0;
    // What the system does with a standard command (move, size, minimise, close); nothing for others.
    virtual void defaultSystemCommand(int command) = 0;

    virtual void bringToFront() = 0;
    virtual Point cursorPosition() = 0;
    virtual bool isMinimized() = 0;
    virtual void restore() = 0;
    // Closes the window, which ends the program.
    virtual void close() = 0;
    // Ends the program at once, also from inside a box.
    virtual void exitNow() = 0;
    // Lets the messages that are waiting (the rig server's events among them) be handled now.
    virtual void processPendingEvents() = 0;
};

// The platform pieces the panel's start-up needs.
class InstanceMark {
public:
    virtual ~InstanceMark() = default;
    // Takes the program's mark; false only when another copy of the program holds it.
    virtual bool claim() = 0;
    virtual void release() = 0;
};

class PollTimer {
public:
    virtual ~PollTimer() = default;
    // (Re)starts it: PanelCore::timerTicked() comes every intervalMs from now on.
    virtual void start(int intervalMs) = 0;
};

} // namespace Panel
