#include "about/win32/AboutDlg.h"

#include "about/core/AboutLayout.h"
#include "text/win32/WinText.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <stdexcept>
#include <vector>

namespace {

using AboutLayout::Look;
using LayoutPart = AboutLayout::Part;

constexpr DWORD BoxStyle = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;

// The control id of each part, by AboutLayout::Part; the box itself has none.
// clang-format off
constexpr int PartIds[] = {0, TAboutDlg::Panel1Id, TAboutDlg::ProductNameId, TAboutDlg::CopyrightId,
                           TAboutDlg::ProgrammerId, IDOK, TAboutDlg::Panel2Id, TAboutDlg::ImageId,
                           TAboutDlg::WebsiteId};
// clang-format on
static_assert(std::size(PartIds) == std::size_t(LayoutPart::Website) + 1);

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
    words.push_back(WORD(AboutLayout::BoxFont.points));
    for (const wchar_t c : WinText::wide(AboutLayout::BoxFont.family))
        words.push_back(static_cast<WORD>(c));
    words.push_back(0);
    return words;
}

// A control's device context with the control's font, for measuring and drawing its text.
class TextContext {
public:
    explicit TextContext(HWND control, HDC dc = nullptr)
        : m_control(control), m_own(dc == nullptr), m_dc(m_own ? GetDC(control) : dc),
          m_old(SelectObject(m_dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0))))
    {
    }
    ~TextContext()
    {
        SelectObject(m_dc, m_old);
        if (m_own)
            ReleaseDC(m_control, m_dc);
    }
    TextContext(const TextContext &) = delete;
    TextContext &operator=(const TextContext &) = delete;

    HDC dc() const { return m_dc; }
    // One line's extent, as DrawText draws it (tabs expanded, '&' literal); an empty line measures as a space.
    SIZE extent(const std::wstring &line) const
    {
        RECT rect{0, 0, 0, 0};
        DrawTextW(m_dc, line.empty() ? L" " : line.c_str(), -1, &rect,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
        return {rect.right, rect.bottom};
    }
    int lineHeight() const
    {
        TEXTMETRICW metrics{};
        GetTextMetricsW(m_dc, &metrics);
        return metrics.tmHeight;
    }

private:
    HWND m_control;
    bool m_own;
    HDC m_dc;
    HGDIOBJ m_old;
};

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
        case WM_DRAWITEM: {
            const auto *box = reinterpret_cast<const Box *>(GetWindowLongPtrW(hwnd, DWLP_USER));
            return box && box->drawWrapped(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        }
        case WM_CLOSE:
            // The frame's close control, which the dialog would otherwise turn into IDCANCEL.
            EndDialog(hwnd, IDCLOSE);
            return TRUE;
        default:
            return FALSE;
        }
    }

    HWND part(const wchar_t *windowClass, DWORD style, int id, const AboutLayout::Rect &at,
              const std::wstring &text = {})
    {
        const HWND control = CreateWindowExW(
            0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, at.left, at.top, at.width, at.height, m_hwnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT, SendMessageW(m_hwnd, WM_GETFONT, 0, 0), FALSE);
        return control;
    }

    static void resize(HWND control, SIZE size)
    {
        SetWindowPos(control, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    }

    // A one-line label, grown to the right to its text.
    void label(int id, const AboutLayout::Rect &at, const std::wstring &text)
    {
        const HWND control = part(L"STATIC", SS_LEFT | SS_NOPREFIX, id, at, text);
        resize(control, TextContext(control).extent(text));
    }

    // A label broken at spaces to its layout width. The box draws it, line by line: a static control would
    // break the text again at the width a long word gave it, and inside a web address.
    void wrappingLabel(int id, const AboutLayout::Rect &at, const std::string &text)
    {
        const HWND control = part(L"STATIC", SS_OWNERDRAW, id, at, WinText::wide(text));
        const TextContext context(control);
        const auto measure = [&context](std::string_view line) {
            return int(context.extent(WinText::wide(std::string(line))).cx);
        };
        std::vector<std::wstring> &lines = m_wrapped[id];
        LONG width = 0;
        for (const std::string &line : AboutLayout::wrapAtSpaces(text, at.width, measure)) {
            lines.push_back(WinText::wide(line));
            if (!line.empty())
                width = std::max(width, context.extent(lines.back()).cx);
        }
        resize(control, {width, LONG(lines.size()) * context.lineHeight()});
    }

    bool drawWrapped(const DRAWITEMSTRUCT &item) const
    {
        const auto found = m_wrapped.find(int(item.CtlID));
        if (found == m_wrapped.end())
            return false;
        // The colours and the background a plain label of the box gets.
        const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
            m_hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(item.hDC), reinterpret_cast<LPARAM>(item.hwndItem)));
        FillRect(item.hDC, &item.rcItem, brush ? brush : GetSysColorBrush(COLOR_3DFACE));
        const TextContext context(item.hwndItem, item.hDC);
        SetBkMode(item.hDC, TRANSPARENT);
        const int height = context.lineHeight();
        int top = item.rcItem.top;
        for (const std::wstring &line : found->second) {
            RECT rect{item.rcItem.left, top, item.rcItem.right, top + height};
            DrawTextW(item.hDC, line.c_str(), -1, &rect,
                      DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS | DT_LEFT | DT_TOP);
            top += height;
        }
        return true;
    }

    void build()
    {
        // The client area of the layout, centred on the screen.
        RECT frame{0, 0, AboutLayout::ClientWidth, AboutLayout::ClientHeight};
        AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(m_hwnd, GWL_STYLE)), FALSE,
                           DWORD(GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE)));
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        SetWindowPos(m_hwnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER);
        SetWindowTextW(m_hwnd, WinText::wide(m_texts.title).c_str());

        // Every part is a child of the dialog, placed where its parents put it.
        for (const AboutLayout::Row &row : AboutLayout::rows()) {
            const AboutLayout::Rect at = AboutLayout::inBox(row.part);
            const int id = PartIds[std::size_t(row.part)];
            const std::string text = AboutLayout::shownText(row, m_texts);
            switch (row.look) {
            case Look::EtchedFrame:
                part(L"STATIC", SS_ETCHEDFRAME, id, at);
                break;
            case Look::SunkenPanel:
                part(L"STATIC", SS_SUNKEN, id, at);
                break;
            case Look::Image:
                image(id, at);
                break;
            case Look::Label:
                label(id, at, WinText::wide(text));
                break;
            case Look::WrappingLabel:
                wrappingLabel(id, at, text);
                break;
            case Look::DefaultButton:
                part(L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, id, at, WinText::wide(text));
                break;
            }
        }
    }

    void image(int id, const AboutLayout::Rect &at)
    {
        const HWND control = part(L"STATIC", SS_ICON | SS_CENTERIMAGE | SS_REALSIZEIMAGE, id, at);
        if (m_icon)
            SendMessageW(control, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_icon));
        // Setting the icon sizes the control to it; the layout's size keeps it centred in its panel.
        SetWindowPos(control, nullptr, at.left, at.top, at.width, at.height, SWP_NOZORDER);
    }

    HWND m_owner;
    HICON m_icon;
    std::vector<WORD> m_template;
    AboutTexts m_texts;
    HWND m_hwnd = nullptr;
    // The lines of each wrapping label, by control id.
    std::map<int, std::vector<std::wstring>> m_wrapped;
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
