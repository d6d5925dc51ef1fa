#include "led/win32/AMAdvLed.h"

namespace {

void registerClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpszClassName = TAMAdvLed::ClassName;
    windowClass.hInstance = instance;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // No background brush: the LED paints every pixel of its rectangle, so nothing is erased under it.
    RegisterClassExW(&windowClass); // a second LED finds it registered
}

// The colour of the parent's background, which the LED's background follows.
COLORREF parentColour(HWND hwnd)
{
    const HWND parent = GetParent(hwnd);
    const auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(parent, GCLP_HBRBACKGROUND));
    LOGBRUSH logBrush{};
    if (brush && GetObjectW(brush, sizeof logBrush, &logBrush) == sizeof logBrush && logBrush.lbStyle == BS_SOLID)
        return logBrush.lbColor;
    return GetSysColor(COLOR_BTNFACE);
}

} // namespace

TAMAdvLed::TAMAdvLed(HWND parent, int id, int left, int top)
{
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    registerClass(instance);
    m_hwnd = CreateWindowExW(0, ClassName, L"", WS_CHILD | WS_VISIBLE, left, top, 17, 17, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (m_hwnd) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TAMAdvLed::windowProc));
    }
}

TAMAdvLed::~TAMAdvLed()
{
    if (m_hwnd && IsWindow(m_hwnd)) {
        SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    }
}

void TAMAdvLed::loaded()
{
    SetWindowPos(m_hwnd, nullptr, 0, 0, LedSize, LedSize, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TAMAdvLed::redrawNow()
{
    if (!m_hwnd || !IsWindowVisible(m_hwnd))
        return;
    if (const HDC dc = GetDC(m_hwnd)) {
        paint(dc);
        ReleaseDC(m_hwnd, dc);
    }
}

void TAMAdvLed::paint(HDC dc) const
{
    LedPixels pixels{};
    m_core.paint(ledPixelFromColor(parentColour(m_hwnd)), pixels);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = LedSize;
    info.bmiHeader.biHeight = -LedSize; // top-down, as LedPixels runs
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, LedSize, LedSize, 0, 0, 0, LedSize, pixels.data(), &info, DIB_RGB_COLORS);
}

LRESULT CALLBACK TAMAdvLed::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *led = reinterpret_cast<TAMAdvLed *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (led && message == WM_PAINT) {
        PAINTSTRUCT paintStruct;
        const HDC dc = BeginPaint(hwnd, &paintStruct);
        led->paint(dc);
        EndPaint(hwnd, &paintStruct);
        return 0;
    }
    if (led && message == WM_ERASEBKGND)
        return 1;
    // The LED takes no input: the mouse reaches the window under it, as on a control without a window.
    if (message == WM_NCHITTEST)
        return HTTRANSPARENT;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
