// TAMAdvLed: the LED indicator as a Win32 control: a child window of class "TAMAdvLed" that shows the pixels
// its LedCore gives, on the colour of the window it sits on.
//
// Responsibilities: makes the control's window; forwards the property writes to the core; redraws at once
// when the core asks (straight onto the screen, clipped to the control, without erasing) and at every
// WM_PAINT. Decides nothing: the images, the colour-key passes and the switching rules are LedCore's.
// Collaborations: LedCore; the parent window, whose class background brush is the colour the LED's
// background takes.
// Threads: the GUI thread.
#pragma once

#include "led/core/LedCore.h"

#include <windows.h>

class TAMAdvLed final : private LedFace {
public:
    static constexpr const wchar_t *ClassName = L"TAMAdvLed";

    // A child of parent at left, top with the stored size of 17 x 17, and id as its control id.
    TAMAdvLed(HWND parent, int id, int left, int top);
    ~TAMAdvLed() override;

    TAMAdvLed(const TAMAdvLed &) = delete;
    TAMAdvLed &operator=(const TAMAdvLed &) = delete;

    // End of loading: the LED runs at 13 x 13 whatever size was stored.
    void loaded();

    HWND handle() const { return m_hwnd; }
    LedCore &core() { return m_core; }

private:
    void redrawNow() override;
    void paint(HDC dc) const;
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    LedCore m_core{*this};
};
