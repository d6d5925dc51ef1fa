// PanelCore: everything the panel decides, with no toolkit: start-up from the command line to the first status
// display, the settings file, the rig server's events and the 5-second poll, the transfers and tracking, the
// offset, the menus' commands and the confirmed exit. The handlers carry the names of the controls and events
// they stand for (A2BClick, ShiftChange, OmniRigStatusChange); each may be called directly, as the menus do,
// and a failure in it ends it where it happened.
//
// The core keeps the panel's state (the offset slider's position, the RIT switch, the tracking choice) and
// runs a control's handler when it changes that control, as a window's control would; the face only shows it.
// What the operator does comes in through the entry points below, each of which runs its handler inside the
// panel's one error guard.
//
// Collaborations: a PanelFace draws and asks; TOmniRigX reaches the rig server; RigTransfer copies between
// the rigs; PanelSettings and IniFile keep the settings file; an InstanceMark and a PollTimer of the platform.
// Threads: the panel's thread only. No call here waits for a radio: the rig server answers reads from its
// cache and queues writes.
#pragma once

#include "ini/IniFile.h"
#include "omnirig/OmniRig_TLB.h"
#include "panel/core/HandlerGuard.h"
#include "panel/core/PanelFace.h"
#include "panel/core/PanelSettings.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class TOmniRigX;

namespace Panel {

// The general error display's text: the message with a full stop appended when its last character's code is
// above that of the full stop.
std::string errorText(const std::string &message);

// The tray menu's items, by the id the face hands back.
enum class TrayCommand : int { A2B, B2A, SWAP, Settings, Caliber, About, Exit };

class PanelCore final : private IOmniRigXEvents {
public:
    static constexpr int PollIntervalMs = 5000;
    // The commands the panel adds to its system menu.
    static constexpr int CaliberCommand = 444;
    static constexpr int SettingsCommand = 555;
    static constexpr int AboutCommand = 666;
    // The standard close command, which the system menu's Quit entry carries.
    static constexpr int CloseCommand = 0xF060;
    static constexpr Colour ReceiveColour = 0x00FF00;
    static constexpr Colour TransmitColour = 0x0000FF;

    PanelCore(PanelFace &face, InstanceMark &marker, PollTimer &timer);
    ~PanelCore() override;

    PanelCore(const PanelCore &) = delete;
    PanelCore &operator=(const PanelCore &) = delete;

    // Start-up: arguments as the program got them, the program first; currentDir for the default settings
    // file. Afterwards startupEnded() says whether the program must end (another copy runs, or there is no
    // rig server to load); the operator has been told why.
    void FormCreate(const std::vector<std::string> &arguments, const std::string &currentDir);
    bool startupEnded() const { return m_startupEnded; }

    // What the operator did, as the face reports it.
    void clicked(Control control);        // A2B, SWAP, B2A or the ShiftHZ label
    void doubleClicked(Control control);  // the second click of a double click on one of those
    void shiftMoved(int position);        // every notification of the slider, also without a change
    void ritToggled(bool checked);        // a click on RIT
    void trackClicked(Control button);    // a click on a tracking button, also on the one selected already
    void systemCommand(int command);      // a choice in the system menu
    void trayActivated(bool rightButton); // a mouse button on the tray icon
    void trayMenuChosen(int id);          // an item of the tray menu
    void timerTicked();
    // The window is closing: the mark goes first, so a copy started at once is not refused.
    void windowClosing();
    // The window became the active one (also when it is first shown): the core gives a control the focus.
    void windowActivated();
    // The window is no longer the active one; focused is the control that had the focus, if any.
    void windowDeactivated(std::optional<Control> focused);
    // Whether a control takes the focus now: a tab stop of the layout that is shown.
    bool takesFocus(Control control) const;

    // Start-up and settings.
    void SaveSettings();
    void AddTrayIcon();
    void SetTrayIcon(TrayImage image);
    void DeleteTrayIcon();

    // Rig status monitoring: the server's five events, the poll and the refresh they share.
    void OmniRigVisibleChange();
    void OmniRigRigTypeChange(int RigNumber);
    void OmniRigStatusChange(int RigNumber);
    void OmniRigParamsChange(int RigNumber, int Params);
    void OmniRigCustomReply(int RigNumber);
    void TimerTick();
    void RefreshRigs();

    // Transfer and tracking.
    void A2BClick();
    void B2AClick();
    void SWAPClick();
    void FollowRig(IRigX *master, IRigX *follower);
    void TrackNoneClick();
    void TrackRig1Click();
    void TrackRig2Click();

    // Offset slider, RIT switch and calibration.
    void ShiftChange();
    void ShiftHZClick();
    void RITClick();
    void OffsetCaliber();

    // Menus and exit.
    void BuildMenus();
    void SystemCommandMessage(int command);
    void OmnirigVisible();
    void AboutClick();
    void ExitClick();
    void TrayIconMessage(bool rightButton);

    // The offset the transfers apply now: the slider's offset while RIT is checked, else 0.
    int currentOffset() const;
    int shiftPosition() const { return m_position; }
    bool ritChecked() const { return m_rit; }
    std::optional<PanelSettings::Track> selectedTrack() const { return m_track; }

    const std::string &iniPath() const { return m_iniPath; }
    TOmniRigX *omniRigClient() const { return m_omniRigClient.get(); }
    IRigX *currentRig() const { return m_currentRig; }

private:
    // The rig server's events, run as their handlers.
    void OnVisibleChange() override;
    void OnRigTypeChange(int rigNumber) override;
    void OnStatusChange(int rigNumber) override;
    void OnParamsChange(int rigNumber, std::int32_t params) override;
    void OnCustomReply(int rigNumber, const std::string &command, const std::string &reply) override;

    void showFailure(const std::exception &failure);
    void showError(const std::string &message);
    void applyStored(const PanelSettings::Stored &stored);
    void fillAboutDialog();
    void checkTray();
    void endStartup(const Box &box);

    // The controls set from code: each runs its control's handler when, and only when, it changes.
    void setShiftPosition(int position);
    void setRit(bool checked);
    void selectTrack(PanelSettings::Track track);
    void showShiftLabel(char sign, int hertz);

    IRigX *rigFor(int rigNumber);
    void colourLed(Control led, IRigX &rig, std::int32_t readable);
    void showOnLine(Control led, IRigX &rig);
    void followSelected();
    IRigX *leadingRig();

    PanelFace &m_face;
    InstanceMark &m_marker;
    PollTimer &m_timer;
    HandlerGuard m_guard;

    int m_position = PanelSettings::CentrePosition;
    bool m_rit = false;
    std::optional<PanelSettings::Track> m_track;
    // The control that had the focus when the window was last left.
    std::optional<Control> m_focus;
    // "FASTTRACK" as the file had it at start-up: nothing when it was not there, which counts as off.
    std::optional<bool> m_fastTrack;

    std::string m_iniPath;
    IniFile m_iniFile{std::string()};
    // What the last save wrote; nothing before the first one, which always writes.
    std::optional<PanelSettings::Applied> m_saved;
    bool m_holdingSaves = false; // start-up applies the file's settings, then saves once
    IRigX *m_currentRig = nullptr;
    bool m_marked = false;
    bool m_toldNotInstalled = false;
    bool m_startupEnded = false;
    // Last, so that it goes first: it unsubscribes from the server before the rest of the panel goes.
    std::unique_ptr<TOmniRigX> m_omniRigClient;
};

} // namespace Panel
