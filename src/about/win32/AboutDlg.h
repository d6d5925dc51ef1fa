// TAboutDlg: the About component on Windows: a modal dialog with a fixed frame, made afresh for each showing.
//
// Responsibilities: implements AboutFace with a Win32 dialog built from AboutLayout's rows (no minimise or
// maximise box, a close control; OK is the default button, so Enter presses it; Escape does nothing, there
// being no cancel button), and the countdown with a thread timer. The box draws the wrapping labels itself,
// in the lines AboutLayout::wrapAtSpaces gives. The showing rules are AboutCore's.
// Collaborations: AboutCore (the texts and rules), AboutLayout (the parts); the panel, which owns the
// component, is the box's owner window and gives the icon.
// Threads: the GUI thread; a showing runs the dialog's nested message loop.
#pragma once

#include "about/core/AboutCore.h"

#include <windows.h>

class TAboutDlg final : private AboutFace {
public:
    // The control ids of the box's parts, for whoever looks at a box on screen.
    enum Part : int { ProductNameId = 201, CopyrightId, ProgrammerId, WebsiteId, ImageId, Panel1Id, Panel2Id };

    explicit TAboutDlg(HWND owner);
    ~TAboutDlg() override;

    TAboutDlg(const TAboutDlg &) = delete;
    TAboutDlg &operator=(const TAboutDlg &) = delete;

    AboutCore &core() { return m_core; }
    // The icon the box shows; the component keeps its own copy.
    void setIcon(HICON icon);
    void Execute() { m_core.Execute(); }

private:
    class Box;

    std::unique_ptr<AboutFace::Box> createBox() override;
    void startCountdown(int milliseconds, std::uint64_t showing) override;
    void stopCountdown() noexcept override;
    static void CALLBACK countdownExpired(HWND, UINT, UINT_PTR timer, DWORD);

    HWND m_owner;
    HICON m_icon = nullptr;
    UINT_PTR m_countdown = 0;
    std::uint64_t m_countdownShowing = 0;
    AboutCore m_core{*this};
};
