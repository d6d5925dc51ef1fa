// TSO2VPanel: the program's only main window, "VE2Z", as a native Win32 window: the panel's Win32 face.
//
// Responsibilities: registers the window class "TSO2VPanel" and lays out the 14 controls as Win32 controls;
// shows on them what the panel's core says; hands the core what the operator did (a click, a track-bar
// notification, a system command, the tray icon's callback, a tray menu choice, the poll timer, closing the
// window). It keeps the real system menu, the notification-area icon and its pop-up menu, the About
// component and the poll timer. It decides nothing: every decision, from start-up to the confirmed exit, is
// PanelCore's.
//
// Collaborations: PanelCore (the decisions), TAMAdvLed, TAboutDlg, InstanceMarker (the named shared-memory
// section), the shell's notification area, the program's own resources (icons, button images).
// Threads: the GUI thread, in a single-threaded COM apartment; OmniRig's events come through its messages.
#pragma once

#include "panel/core/PanelCore.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class InstanceMarker;
class TAboutDlg;
class TAMAdvLed;

class TSO2VPanel {
public:
    static constexpr const wchar_t *ClassName = L"TSO2VPanel";
    // The notification-area icon's identifier and the private message its mouse actions come as.
    static constexpr UINT TrayIconId = 1998;
    static constexpr UINT TrayMessage = 3022;
    // The tray menu's items carry their core id plus this.
    static constexpr UINT TrayMenuBase = 1000;

    // The controls' ids: 100 plus their place in the layout.
    static constexpr int controlId(Panel::Control control) { return 100 + static_cast<int>(control); }

    // A test build sees each of the window's messages first; true when it has answered the message itself.
    using MessageHook = std::function<bool(TSO2VPanel &, UINT, WPARAM, LPARAM, LRESULT &)>;
    static void setMessageHook(MessageHook hook);

    // The application's title, the general error display's caption; the process entry sets the first one.
    static std::string applicationTitle();
    static void setApplicationTitle(const std::string &title);

    // Makes the window and its controls and runs start-up. arguments as the program got them, the program
    // first, in UTF-8.
    TSO2VPanel(HINSTANCE instance, const std::vector<std::string> &arguments, const std::string &currentDir);
    ~TSO2VPanel();

    TSO2VPanel(const TSO2VPanel &) = delete;
    TSO2VPanel &operator=(const TSO2VPanel &) = delete;

    // Start-up decided that the program must end (another copy runs, or there is no rig server to load);
    // it has told the operator why, and the window is gone.
    bool startupEnded() const { return m_core->startupEnded(); }

    void show(int showCommand);
    // Handles messages until the program ends; its exit code.
    int run();

    HWND handle() const { return m_hwnd; }
    Panel::PanelCore &core() const { return *m_core; }
    HMENU trayMenu() const { return m_trayMenu; }
    // The icon the notification area shows now, and the program's two icons.
    HICON trayIcon() const { return m_trayIconShown; }
    HICON mainIcon() const { return m_mainIcon; }
    HICON omniRigIcon() const { return m_omniRigIcon; }
    bool trayIconAdded() const { return m_trayAdded; }

private:
    class Face;
    class Timer;

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK speedButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                            DWORD_PTR panel);
    LRESULT dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // After a press on a control that takes no focus, the focus goes back to where it was before the press.
    void giveBackFocus(HWND pressed);
    // Tab and Shift+Tab through the tab order; true when message was one of them.
    bool tabbed(const MSG &message);
    // A dialog's keys (Tab, Enter, Escape, arrows) for the panel or a box over it, handled as that window's
    // own loop handles them; true when message has been handled.
    bool dialogKey(MSG &message);
    void createControls();
    void addHint(HWND tool, const std::wstring &text);
    void command(int id, int code, HWND control);
    void drawSpeedButton(const DRAWITEMSTRUCT &item);
    HWND control(Panel::Control control) const;
    std::optional<Panel::Control> controlOf(HWND hwnd) const;
    TAMAdvLed &led(Panel::Control control) const;
    void notifyTray(DWORD action);

    HINSTANCE m_instance;
    HWND m_hwnd = nullptr;
    HWND m_controls[14] = {};
    HWND m_focusBeforePress = nullptr;
    HWND m_tooltips = nullptr;
    HFONT m_windowFont = nullptr;
    HFONT m_labelFont = nullptr;
    HBRUSH m_background = nullptr;
    HBITMAP m_glyphs[3] = {};
    HICON m_mainIcon = nullptr;
    HICON m_smallIcon = nullptr;
    HICON m_omniRigIcon = nullptr;
    HICON m_trayIconShown = nullptr;
    bool m_trayAdded = false;
    HMENU m_trayMenu = nullptr;
    // The lParam of the system command being handled, for its default processing.
    LPARAM m_systemCommandParam = 0;
    std::unique_ptr<TAMAdvLed> m_rig1Led;
    std::unique_ptr<TAMAdvLed> m_rig2Led;
    std::unique_ptr<TAboutDlg> m_aboutDialog;
    std::unique_ptr<Face> m_face;
    std::unique_ptr<Timer> m_timer;
    std::unique_ptr<InstanceMarker> m_instanceMapping;
    // Last, so that it goes first: it unsubscribes from the server before the controls go.
    std::unique_ptr<Panel::PanelCore> m_core;
};
