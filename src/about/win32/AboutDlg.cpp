#include "about/win32/AboutDlg.h"

#include "text/win32/WinText.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

// The box's client area and its parts, in pixels; label places are inside Panel1, which sits at 8, 8.
constexpr SIZE ClientSize{296, 182};
constexpr POINT Panel1At{8, 8};
constexpr DWORD BoxStyle = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;

// The component whose countdown runs; one component per program.
TAboutDlg *g_counting = nullptr;

// A dialog template without controls, in the font of the layout; the parts are made in pixels when it opens.
std::vector<WORD> boxTemplate()
{
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto *header = reinterpret_cast<DLGTEMPLATE *>(words.data());
    header->style = BoxStyle;
    header->cx = 200;
    header->cy = 120;
    words.push_back(0); // no menu
    words.push_back(0); // the standard dialog class
    words.push_back(0); // no title yet
    words.push_back(8); // points
    for (const wchar_t c : std::wstring(L"MS Sans Serif"))
        words.push_back(static_cast<WORD>(c));
    words.push_back(0);
    return words;
}

SIZE textSize(HWND control, const std::wstring &text, int wrapWidth)
{
    const HDC dc = GetDC(control);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(dc, font);
    UINT format = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS;
    LONG width = wrapWidth;
    if (wrapWidth > 0) {
        // Lines break between words only: a word wider than the wrap width (a web address) stays whole and
        // widens the label.
        format |= DT_WORDBREAK;
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = std::min(text.find(L' ', start), text.size());
            SIZE word{};
            GetTextExtentPoint32W(dc, text.data() + start, int(end - start), &word);
            width = std::max(width, word.cx);
            start = end + 1;
        }
    } else {
        format |= DT_SINGLELINE;
    }
    RECT rect{0, 0, width, 0};
    DrawTextW(dc, text.empty() ? L" " : text.c_str(), -1, &rect, format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {std::max(rect.right, width), rect.bottom};
}

} // namespace

// One showing's box: the dialog while it is up, and the texts it is filled with before.
class TAboutDlg::Box final : public AboutFace::Box {
public:
    Box(HWND owner, HICON icon) : m_owner(owner), m_icon(icon), m_template(boxTemplate()) {}
    ~Box() override
    {
        if (m_hwnd && IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
    }
    Box(const Box &) = delete;
    Box &operator=(const Box &) = delete;

    void fill(const AboutTexts &texts) override { m_texts = texts; }
    int showModal() override
    {
        const INT_PTR result =
            DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE *>(m_template.data()),
                                    m_owner, &Box::dialogProc, reinterpret_cast<LPARAM>(this));
        m_hwnd = nullptr;
        if (result == -1)
            throw std::runtime_error("The About box could not be shown");
        return int(result);
    }
    void raise() override
    {
        if (m_hwnd) {
            SetForegroundWindow(m_hwnd);
            BringWindowToTop(m_hwnd);
        }
    }
    void close() override
    {
        if (m_hwnd)
            EndDialog(m_hwnd, IDCLOSE);
    }

private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_INITDIALOG: {
            auto *box = reinterpret_cast<Box *>(lParam);
            SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
            box->m_hwnd = hwnd;
            box->build();
            SetFocus(GetDlgItem(hwnd, IDOK));
            return FALSE;
        }
        case WM_COMMAND:
            // OK ends the showing with 1; Escape comes as IDCANCEL and does nothing: there is no cancel button.
            if (LOWORD(wParam) == IDOK)
                EndDialog(hwnd, IDOK);
            return TRUE;
        case WM_CLOSE:
            // The frame's close control, which the dialog would otherwise turn into IDCANCEL.
            EndDialog(hwnd, IDCLOSE);
            return TRUE;
        default:
            return FALSE;
        }
    }

    HWND part(const wchar_t *windowClass, DWORD style, int id, int left, int top, int width, int height,
              const std::wstring &text = {})
    {
        const HWND control = CreateWindowExW(0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, left, top,
                                             width, height, m_hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                             GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT, SendMessageW(m_hwnd, WM_GETFONT, 0, 0), FALSE);
        return control;
    }

    void label(int id, int left, int top, const std::string &text, int wrapWidth)
    {
        const std::wstring wide = WinText::wide(text);
        const HWND control =
            part(L"STATIC", SS_LEFT | SS_NOPREFIX, id, Panel1At.x + left, Panel1At.y + top, 10, 13, wide);
        const SIZE size = textSize(control, wide, wrapWidth);
        SetWindowPos(control, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    }

    void build()
    {
        // The client area of the layout, centred on the screen.
        RECT frame{0, 0, ClientSize.cx, ClientSize.cy};
        AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(m_hwnd, GWL_STYLE)), FALSE,
                           DWORD(GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE)));
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        SetWindowPos(m_hwnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER);
        SetWindowTextW(m_hwnd, WinText::wide(m_texts.title).c_str());

        // Panel1: lowered outside, raised inside; Panel2 lowered, with the image inside it.
        part(L"STATIC", SS_ETCHEDFRAME, Panel1Id, Panel1At.x, Panel1At.y, 281, 137);
        part(L"STATIC", SS_SUNKEN, Panel2Id, Panel1At.x + 8, Panel1At.y + 8, 50, 50);
        const HWND image = part(L"STATIC", SS_ICON | SS_CENTERIMAGE | SS_REALSIZEIMAGE, ImageId, Panel1At.x + 9,
                                Panel1At.y + 9, 48, 48);
        if (m_icon)
            SendMessageW(image, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_icon));
        SetWindowPos(image, nullptr, Panel1At.x + 9, Panel1At.y + 9, 48, 48, SWP_NOZORDER);
        label(ProductNameId, 64, 8, m_texts.productName, 0);
        label(CopyrightId, 64, 40, m_texts.copyRight, 0);
        label(ProgrammerId, 64, 72, m_texts.programmer, 59);
        label(WebsiteId, 64, 104, m_texts.webSite, 44);
        part(L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 111, 152, 75, 25, L"OK");
    }

    HWND m_owner;
    HICON m_icon;
    std::vector<WORD> m_template;
    AboutTexts m_texts;
    HWND m_hwnd = nullptr;
};

TAboutDlg::TAboutDlg(HWND owner) : m_owner(owner)
{
}

TAboutDlg::~TAboutDlg()
{
    stopCountdown();
    if (m_icon)
        DestroyIcon(m_icon);
}

void TAboutDlg::setIcon(HICON icon)
{
    // A copy of the caller's icon: the component never keeps the caller's own.
    const HICON copy = icon ? CopyIcon(icon) : nullptr;
    if (m_icon)
        DestroyIcon(m_icon);
    m_icon = copy;
}

std::unique_ptr<AboutFace::Box> TAboutDlg::createBox()
{
    return std::make_unique<Box>(m_owner, m_icon);
}

void TAboutDlg::startCountdown(int milliseconds, std::uint64_t showing)
{
    stopCountdown();
    m_countdown = SetTimer(nullptr, 0, UINT(milliseconds), &TAboutDlg::countdownExpired);
    m_countdownShowing = showing;
    g_counting = this;
}

void TAboutDlg::stopCountdown() noexcept
{
    if (m_countdown)
        KillTimer(nullptr, m_countdown);
    m_countdown = 0;
    if (g_counting == this)
        g_counting = nullptr;
}

void CALLBACK TAboutDlg::countdownExpired(HWND, UINT, UINT_PTR timer, DWORD)
{
    TAboutDlg *about = g_counting;
    if (!about || about->m_countdown != timer) {
        KillTimer(nullptr, timer);
        return;
    }
    const std::uint64_t showing = about->m_countdownShowing;
    about->stopCountdown();
    about->m_core.countdownExpired(showing);
}
