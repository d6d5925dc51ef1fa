// The window: its controls, what the panel's core shows on them, and what the operator does with them.
#include "panel/win32/VE2Z.h"

#include "about/win32/AboutDlg.h"
#include "led/win32/AMAdvLed.h"
#include "panel/core/PanelLayout.h"
#include "panel/platform/InstanceMarker.h"
#include "text/win32/WinText.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>
#include <vector>

using Panel::Control;
using Panel::ControlKind;

namespace {

// The layout's colours are COLORREFs already.
constexpr COLORREF Background = Panel::Window.background;
constexpr UINT_PTR PollTimerId = 1;
// A note for the operator, shown from the message loop so that whoever asked for it goes on at once.
constexpr UINT NoteMessage = WM_APP + 1;

TSO2VPanel::MessageHook &hookSlot()
{
    static TSO2VPanel::MessageHook hook;
    return hook;
}

std::string &titleSlot()
{
    static std::string title;
    return title;
}

// The shell's message to every top-level window when the notification area has been made anew.
UINT taskbarCreated()
{
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

HFONT makeFont(const Panel::Font &font)
{
    const HDC screen = GetDC(nullptr);
    const int height = -MulDiv(font.points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       WinText::wide(font.face).c_str());
}

// What a Win32 control of each kind is made of; a radio group is one tab stop, at its first button.
struct WindowKind {
    const wchar_t *windowClass;
    DWORD style;
};

WindowKind windowKind(const Panel::ControlLayout &layout, ControlKind previous)
{
    // A text longer than its label is cut at the label's end, never wrapped onto a line below that no one sees.
    const DWORD label = SS_LEFTNOWORDWRAP | SS_NOPREFIX;
    const bool firstRadio = layout.kind == ControlKind::RadioButton && previous != ControlKind::RadioButton;
    const DWORD style = layout.tabStop && (layout.kind != ControlKind::RadioButton || firstRadio) ? WS_TABSTOP : 0;
    switch (layout.kind) {
    case ControlKind::SpeedButton:
        return {L"BUTTON", style | BS_OWNERDRAW};
    case ControlKind::Label:
        return {L"STATIC", style | label};
    case ControlKind::ClickLabel:
        return {L"STATIC", style | label | SS_NOTIFY};
    case ControlKind::TrackBar:
        return {TRACKBAR_CLASSW, style | TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS | TBS_ENABLESELRANGE};
    case ControlKind::CheckBox:
        return {L"BUTTON", style | BS_AUTOCHECKBOX};
    case ControlKind::RadioButton:
        return {L"BUTTON", style | BS_AUTORADIOBUTTON | (firstRadio ? WS_GROUP : 0)};
    case ControlKind::Led:
        break;
    }
    return {nullptr, 0};
}

HICON loadIcon(HINSTANCE instance, const wchar_t *name, int size)
{
    return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

UINT boxFlags(const Panel::Box &box)
{
    UINT flags = box.buttons == Panel::BoxButtons::OkCancel ? MB_OKCANCEL : MB_OK;
    if (box.icon == Panel::BoxIcon::Stop)
        flags |= MB_ICONSTOP;
    return flags;
}

} // namespace

// The poll timer as the core drives it: a timer of the window, whose ticks come through its messages.
class TSO2VPanel::Timer final : public Panel::PollTimer {
public:
    explicit Timer(TSO2VPanel &panel) : p(panel) {}
    void start(int intervalMs) override { SetTimer(p.m_hwnd, PollTimerId, UINT(intervalMs), nullptr); }

private:
    TSO2VPanel &p;
};

// What the core shows, on the window's controls. Setting a control from code sends no notification, so
// only the operator's changes reach the core.
class TSO2VPanel::Face final : public Panel::PanelFace {
public:
    explicit Face(TSO2VPanel &panel) : p(panel) {}

    void setText(Control label, const std::string &text) override
    {
        SetWindowTextW(p.control(label), WinText::wide(text).c_str());
    }
    void setVisible(Control control, bool visible) override
    {
        ShowWindow(p.control(control), visible ? SW_SHOWNA : SW_HIDE);
    }
    void setEnabled(Control control, bool enabled) override { EnableWindow(p.control(control), enabled); }
    void setFocus(Control control) override { SetFocus(p.control(control)); }
    void setChecked(Control control, bool checked) override
    {
        const bool tracking =
            control == Control::TrackNone || control == Control::TrackRig1 || control == Control::TrackRig2;
        if (tracking && checked)
            CheckRadioButton(p.m_hwnd, controlId(Control::TrackNone), controlId(Control::TrackRig2),
                             controlId(control));
        else
            SendMessageW(p.control(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void setShiftPosition(int position) override
    {
        SendMessageW(p.control(Control::Shift), TBM_SETPOS, TRUE, position);
    }
    void setShiftSelection(int start, int end) override
    {
        SendMessageW(p.control(Control::Shift), TBM_SETSELSTART, FALSE, start);
        SendMessageW(p.control(Control::Shift), TBM_SETSELEND, TRUE, end);
    }
    void setLedOn(Control led, bool on) override { p.led(led).core().setLedOn(on); }
    void setLedColour(Control led, Panel::Colour colour) override { p.led(led).core().setColor(1, colour); }

    Panel::BoxAnswer showBox(const Panel::Box &box) override
    {
        const HWND owner = IsWindow(p.m_hwnd) ? p.m_hwnd : nullptr;
        const int answer =
            MessageBoxW(owner, WinText::wide(box.text).c_str(), WinText::wide(box.caption).c_str(), boxFlags(box));
        return answer == IDOK ? Panel::BoxAnswer::Ok : Panel::BoxAnswer::Cancel;
    }
    void showNote(const Panel::Box &box) override
    {
        m_notes.push_back(box);
        PostMessageW(p.m_hwnd, NoteMessage, 0, 0);
    }
    void showNextNote()
    {
        if (m_notes.empty())
            return;
        const Panel::Box box = m_notes.front();
        m_notes.erase(m_notes.begin());
        showBox(box);
    }
    void setAboutTexts(const Panel::AboutTexts &texts) override
    {
        p.m_aboutDialog->core().setTexts(texts);
        // A failure to copy the icon leaves the box without one.
        if (const HICON icon = loadIcon(p.m_instance, L"MAINICON", 48)) {
            p.m_aboutDialog->setIcon(icon);
            DestroyIcon(icon);
        }
    }
    void executeAbout() override { p.m_aboutDialog->Execute(); }
    std::string applicationTitle() override { return TSO2VPanel::applicationTitle(); }
    void setApplicationTitle(const std::string &title) override { TSO2VPanel::setApplicationTitle(title); }

    // The shell always has a notification area; until it is up, the icon is added when it comes.
    bool trayAvailable() override { return true; }
    void showTrayIcon(Panel::TrayImage image) override
    {
        p.m_trayIconShown = image == Panel::TrayImage::OmniRig ? p.m_omniRigIcon : p.m_smallIcon;
        p.notifyTray(p.m_trayAdded ? NIM_MODIFY : NIM_ADD);
        p.m_trayAdded = true;
    }
    void hideTrayIcon() override
    {
        p.notifyTray(NIM_DELETE);
        p.m_trayAdded = false;
    }
    void appendTrayMenuItem(int id, const std::string &caption) override
    {
        AppendMenuW(p.m_trayMenu, MF_STRING, TrayMenuBase + UINT(id), WinText::wide(caption).c_str());
    }
    void popupTrayMenu(Panel::Point at) override
    {
        // The window in front first and a message after, or the menu stays open when the operator clicks
        // elsewhere. The choice comes back as a WM_COMMAND.
        SetForegroundWindow(p.m_hwnd);
        TrackPopupMenuEx(p.m_trayMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, p.m_hwnd, nullptr);
        PostMessageW(p.m_hwnd, WM_NULL, 0, 0);
    }

    bool setSystemMenuText(int command, const std::string &text) override
    {
        return ModifyMenuW(GetSystemMenu(p.m_hwnd, FALSE), UINT(command), MF_BYCOMMAND | MF_STRING, UINT(command),
                           WinText::wide(text).c_str());
    }
    bool removeSystemMenuItem(int position) override
    {
        return DeleteMenu(GetSystemMenu(p.m_hwnd, FALSE), UINT(position), MF_BYPOSITION);
    }
    void appendSystemMenuSeparator() override { AppendMenuW(GetSystemMenu(p.m_hwnd, FALSE), MF_SEPARATOR, 0, nullptr); }
    void appendSystemMenuItem(int command, const std::string &text) override
    {
        AppendMenuW(GetSystemMenu(p.m_hwnd, FALSE), MF_STRING, UINT(command), WinText::wide(text).c_str());
    }
    void defaultSystemCommand(int command) override
    {
        DefWindowProcW(p.m_hwnd, WM_SYSCOMMAND, WPARAM(unsigned(command)), p.m_systemCommandParam);
    }

    void bringToFront() override { SetForegroundWindow(p.m_hwnd); }
    Panel::Point cursorPosition() override
    {
        POINT at{};
        GetCursorPos(&at);
        return {at.x, at.y};
    }
    bool isMinimized() override { return IsIconic(p.m_hwnd); }
    void restore() override { ShowWindow(p.m_hwnd, SW_RESTORE); }
    void close() override
    {
        if (IsWindow(p.m_hwnd))
            DestroyWindow(p.m_hwnd);
    }
    // Every message loop ends on it, a box's too.
    void exitNow() override { PostQuitMessage(0); }
    void processPendingEvents() override
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(int(message.wParam));
                return;
            }
            if (!p.dialogKey(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }

private:
    TSO2VPanel &p;
    std::vector<Panel::Box> m_notes;
};

void TSO2VPanel::setMessageHook(MessageHook hook)
{
    hookSlot() = std::move(hook);
}

std::string TSO2VPanel::applicationTitle()
{
    return titleSlot();
}

void TSO2VPanel::setApplicationTitle(const std::string &title)
{
    titleSlot() = title;
}

TSO2VPanel::TSO2VPanel(HINSTANCE instance, const std::vector<std::string> &arguments, const std::string &currentDir)
    : m_instance(instance), m_face(std::make_unique<Face>(*this)), m_timer(std::make_unique<Timer>(*this)),
      m_instanceMapping(std::make_unique<InstanceMarker>()),
      m_core(std::make_unique<Panel::PanelCore>(*m_face, *m_instanceMapping, *m_timer))
{
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    m_mainIcon = loadIcon(instance, L"MAINICON", GetSystemMetrics(SM_CXICON));
    m_smallIcon = loadIcon(instance, L"MAINICON", GetSystemMetrics(SM_CXSMICON));
    m_omniRigIcon = loadIcon(instance, L"OMNIRIG", GetSystemMetrics(SM_CXSMICON));
    m_background = CreateSolidBrush(Background);
    m_windowFont = makeFont(Panel::Window.windowFont);
    m_labelFont = makeFont(Panel::Window.labelFont);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpszClassName = ClassName;
    windowClass.hInstance = instance;
    windowClass.lpfnWndProc = &TSO2VPanel::windowProc;
    windowClass.hIcon = m_mainIcon;
    windowClass.hIconSm = m_smallIcon;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = m_background;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("The panel's window class could not be registered");
    // An ordinary sizeable frame around the layout's client area, whatever this desktop's frame measures.
    RECT frame{0, 0, Panel::Window.clientWidth, Panel::Window.clientHeight};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    m_hwnd = CreateWindowExW(0, ClassName, WinText::wide(Panel::Window.caption).c_str(), WS_OVERLAPPEDWINDOW,
                             Panel::Window.position.x, Panel::Window.position.y, frame.right - frame.left,
                             frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (!m_hwnd)
        throw std::runtime_error("The panel's window could not be created");
    m_trayMenu = CreatePopupMenu();
    createControls();
    m_aboutDialog = std::make_unique<TAboutDlg>(m_hwnd);

    m_core->FormCreate(arguments, currentDir);
}

TSO2VPanel::~TSO2VPanel()
{
    m_core->windowClosing();
    m_core.reset();
    if (IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
    m_aboutDialog.reset();
    m_rig1Led.reset();
    m_rig2Led.reset();
    if (m_trayMenu)
        DestroyMenu(m_trayMenu);
    for (HBITMAP glyph : m_glyphs)
        if (glyph)
            DeleteObject(glyph);
    for (HGDIOBJ object :
         {static_cast<HGDIOBJ>(m_windowFont), static_cast<HGDIOBJ>(m_labelFont), static_cast<HGDIOBJ>(m_background)})
        if (object)
            DeleteObject(object);
    for (HICON icon : {m_mainIcon, m_smallIcon, m_omniRigIcon})
        if (icon)
            DestroyIcon(icon);
}

void TSO2VPanel::createControls()
{
    SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_windowFont), FALSE);
    m_tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr, m_instance, nullptr);
    ControlKind previous = ControlKind::Led;
    for (const Panel::ControlLayout &layout : Panel::Controls) {
        const std::size_t at = std::size_t(layout.control);
        const ControlKind before = std::exchange(previous, layout.kind);
        if (layout.kind == ControlKind::Led) {
            auto &led = layout.control == Control::Rig1LED ? m_rig1Led : m_rig2Led;
            led = std::make_unique<TAMAdvLed>(m_hwnd, controlId(layout.control), layout.place.left, layout.place.top);
            m_controls[at] = led->handle();
            led->loaded();
            continue;
        }
        const WindowKind kind = windowKind(layout, before);
        const HWND hwnd = CreateWindowExW(
            0, kind.windowClass, WinText::wide(layout.caption).c_str(), WS_CHILD | WS_VISIBLE | kind.style,
            layout.place.left, layout.place.top, layout.place.width, layout.place.height, m_hwnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(layout.control))), m_instance, nullptr);
        const HFONT font = layout.font == Panel::FontRole::Label ? m_labelFont : m_windowFont;
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        m_controls[at] = hwnd;
        if (layout.kind == ControlKind::SpeedButton) {
            // A Windows button takes the focus when pressed; the speed buttons give it back.
            SetWindowSubclass(hwnd, &TSO2VPanel::speedButtonProc, 1, reinterpret_cast<DWORD_PTR>(this));
            if (at < std::size(m_glyphs))
                m_glyphs[at] = static_cast<HBITMAP>(
                    LoadImageW(m_instance, WinText::wide(layout.name).c_str(), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        }
        if (*layout.hint)
            addHint(hwnd, WinText::wide(layout.hint));
    }
    const HWND shift = control(Control::Shift);
    SendMessageW(shift, TBM_SETRANGEMIN, FALSE, Panel::Slider.minimum);
    SendMessageW(shift, TBM_SETRANGEMAX, FALSE, Panel::Slider.maximum);
    SendMessageW(shift, TBM_SETTICFREQ, WPARAM(Panel::Slider.tickInterval), 0);
    SendMessageW(shift, TBM_SETLINESIZE, 0, Panel::Slider.lineStep);
    SendMessageW(shift, TBM_SETPAGESIZE, 0, Panel::Slider.pageStep);
    SendMessageW(shift, TBM_SETPOS, TRUE, Panel::Slider.position);
    SendMessageW(shift, TBM_SETSEL, TRUE, MAKELPARAM(Panel::Slider.selectionStart, Panel::Slider.selectionEnd));
    // RIT lies over the slider's left end, as the later control does in the layout; the tab order, which
    // the window keeps itself (tabbed), stays as the layout gives it.
    SetWindowPos(control(Control::RIT), GetWindow(shift, GW_HWNDPREV) ? GetWindow(shift, GW_HWNDPREV) : HWND_TOP, 0, 0,
                 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TSO2VPanel::addHint(HWND tool, const std::wstring &text)
{
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = m_hwnd;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t *>(text.c_str());
    SendMessageW(m_tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void TSO2VPanel::show(int showCommand)
{
    ShowWindow(m_hwnd, showCommand);
    UpdateWindow(m_hwnd);
}

bool TSO2VPanel::tabbed(const MSG &message)
{
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || !IsWindow(m_hwnd) ||
        (message.hwnd != m_hwnd && !IsChild(m_hwnd, message.hwnd)))
        return false;
    // The layout's tab stops in its order; radio buttons side by side are one stop, at the selected one.
    struct Stop {
        HWND window;
        Control first;
        Control last;
    };
    std::vector<Stop> stops;
    for (const Panel::ControlLayout &layout : Panel::Controls) {
        if (!layout.tabStop)
            continue;
        const HWND hwnd = control(layout.control);
        const bool radio = layout.kind == ControlKind::RadioButton;
        if (radio && !stops.empty() && Panel::layoutOf(stops.back().last).kind == ControlKind::RadioButton) {
            stops.back().last = layout.control;
            if (SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED)
                stops.back().window = hwnd;
            continue;
        }
        stops.push_back({hwnd, layout.control, layout.control});
    }
    const int count = int(stops.size());
    if (count == 0)
        return true;
    const std::optional<Control> focus = controlOf(GetFocus());
    int at = -1;
    for (int i = 0; i < count; ++i)
        if (focus && *focus >= stops[std::size_t(i)].first && *focus <= stops[std::size_t(i)].last)
            at = i;
    const bool back = GetKeyState(VK_SHIFT) < 0;
    const int step = back ? count - 1 : 1;
    for (int tries = 1; tries <= count; ++tries) {
        const int next = ((at < 0 ? (back ? 0 : count - 1) : at) + step * tries) % count;
        const HWND candidate = stops[std::size_t(next)].window;
        if (IsWindowVisible(candidate) && IsWindowEnabled(candidate)) {
            SetFocus(candidate);
            break;
        }
    }
    return true;
}

bool TSO2VPanel::dialogKey(MSG &message)
{
    if (tabbed(message))
        return true;
    // The window the message is for: the panel, or a box open over it (the About box, a message box), whose
    // messages the 5-second tick may handle in place of the box's own loop.
    const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (!root || (root != m_hwnd && GetClassLongPtrW(root, GCW_ATOM) != ULONG_PTR(WC_DIALOG)))
        return false;
    return IsDialogMessageW(root, &message);
}

int TSO2VPanel::run()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (dialogKey(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return int(message.wParam);
}

LRESULT CALLBACK TSO2VPanel::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *panel = static_cast<TSO2VPanel *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        panel->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(panel));
    }
    auto *panel = reinterpret_cast<TSO2VPanel *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!panel)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (const MessageHook &hook = hookSlot()) {
        LRESULT result = 0;
        if (hook(*panel, message, wParam, lParam, result))
            return result;
    }
    return panel->dispatch(message, wParam, lParam);
}

LRESULT CALLBACK TSO2VPanel::speedButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR data)
{
    auto *panel = reinterpret_cast<TSO2VPanel *>(data);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        panel->m_focusBeforePress = GetFocus();
        break;
    case WM_LBUTTONUP: {
        // The click (BN_CLICKED) is handled inside; the press ends here also when the mouse left the button.
        const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        panel->giveBackFocus(hwnd);
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &TSO2VPanel::speedButtonProc, 1);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void TSO2VPanel::giveBackFocus(HWND pressed)
{
    const HWND before = std::exchange(m_focusBeforePress, nullptr);
    const std::optional<Control> which = controlOf(pressed);
    if (!m_core || !which || m_core->takesFocus(*which) || GetFocus() != pressed)
        return;
    const std::optional<Control> previous = controlOf(before);
    if (previous && m_core->takesFocus(*previous))
        SetFocus(before);
    else
        m_core->windowActivated(); // where the window's focus goes when it comes back
}

LRESULT TSO2VPanel::dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_HSCROLL:
        // Every notification of the slider, also the one that ends a movement without a change.
        if (reinterpret_cast<HWND>(lParam) == control(Control::Shift) && m_core)
            m_core->shiftMoved(int(SendMessageW(control(Control::Shift), TBM_GETPOS, 0, 0)));
        return 0;
    case WM_ACTIVATE: {
        const LRESULT result = DefWindowProcW(m_hwnd, message, wParam, lParam);
        if (m_core && LOWORD(wParam) == WA_INACTIVE)
            m_core->windowDeactivated(controlOf(GetFocus()));
        else if (m_core && !HIWORD(wParam))
            m_core->windowActivated();
        return result;
    }
    case WM_SYSCOMMAND:
        // The core gives it its default processing first, then looks for its own commands.
        m_systemCommandParam = lParam;
        if (m_core)
            m_core->systemCommand(int(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == PollTimerId && m_core)
            m_core->timerTicked();
        return 0;
    case TrayMessage:
        if (m_core)
            m_core->trayActivated(LOWORD(lParam) == WM_RBUTTONDOWN);
        return 0;
    case NoteMessage:
        m_face->showNextNote();
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, Background);
        SetTextColor(dc, RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(m_background);
    }
    case WM_DRAWITEM:
        drawSpeedButton(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        return TRUE;
    case WM_DESTROY:
        KillTimer(m_hwnd, PollTimerId);
        // However the program ends: the shell keeps an icon whose window has gone until a mouse passes over it.
        if (m_trayAdded)
            notifyTray(NIM_DELETE);
        m_trayAdded = false;
        if (m_core)
            m_core->windowClosing();
        PostQuitMessage(0);
        return 0;
    default:
        if (message == taskbarCreated() && m_trayAdded)
            notifyTray(NIM_ADD);
        return DefWindowProcW(m_hwnd, message, wParam, lParam);
    }
}

void TSO2VPanel::command(int id, int code, HWND from)
{
    if (!m_core)
        return;
    if (!from) {
        // A choice in the tray menu.
        if (code == 0 && id >= int(TrayMenuBase) && id < int(TrayMenuBase) + 7)
            m_core->trayMenuChosen(id - int(TrayMenuBase));
        return;
    }
    const std::optional<Control> which = controlOf(from);
    if (!which)
        return;
    // A double click on a speed button or the label comes as a notification of its own, in place of the
    // second click.
    const bool label = *which == Control::ShiftHZ;
    if (code == (label ? STN_DBLCLK : BN_DOUBLECLICKED))
        return m_core->doubleClicked(*which);
    if (code != BN_CLICKED) // STN_CLICKED is the same code
        return;
    switch (Panel::layoutOf(*which).kind) {
    case ControlKind::SpeedButton:
    case ControlKind::ClickLabel:
        return m_core->clicked(*which);
    case ControlKind::CheckBox:
        return m_core->ritToggled(SendMessageW(from, BM_GETCHECK, 0, 0) == BST_CHECKED);
    case ControlKind::RadioButton:
        return m_core->trackClicked(*which);
    case ControlKind::Led:
    case ControlKind::Label:
    case ControlKind::TrackBar:
        return;
    }
}

void TSO2VPanel::drawSpeedButton(const DRAWITEMSTRUCT &item)
{
    RECT frame = item.rcItem;
    const bool down = (item.itemState & ODS_SELECTED) != 0;
    DrawFrameControl(item.hDC, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
    int glyph = -1;
    for (int i = 0; i < 3; ++i)
        if (int(item.CtlID) == controlId(static_cast<Control>(i)))
            glyph = i;
    if (glyph < 0 || !m_glyphs[glyph])
        return;
    BITMAP bitmap{};
    GetObjectW(m_glyphs[glyph], sizeof bitmap, &bitmap);
    const HDC source = CreateCompatibleDC(item.hDC);
    const HGDIOBJ old = SelectObject(source, m_glyphs[glyph]);
    // Centred on the face, a pixel down and right while pressed, inside the frame; the colour of the image's
    // bottom-left pixel is transparent, as on a speed button's glyph.
    const COLORREF transparent = GetPixel(source, 0, bitmap.bmHeight - 1);
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    int left = (width - bitmap.bmWidth) / 2 + (down ? 1 : 0);
    int top = (height - bitmap.bmHeight) / 2 + (down ? 1 : 0);
    const RECT inside{2, 2, width - 2, height - 2};
    const int fromX = std::max(0, int(inside.left - left));
    const int fromY = std::max(0, int(inside.top - top));
    const int toX = std::min(int(bitmap.bmWidth), int(inside.right - left));
    const int toY = std::min(int(bitmap.bmHeight), int(inside.bottom - top));
    if (toX > fromX && toY > fromY)
        TransparentBlt(item.hDC, left + fromX, top + fromY, toX - fromX, toY - fromY, source, fromX, fromY, toX - fromX,
                       toY - fromY, transparent);
    SelectObject(source, old);
    DeleteDC(source);
}

HWND TSO2VPanel::control(Control which) const
{
    return m_controls[static_cast<int>(which)];
}

std::optional<Control> TSO2VPanel::controlOf(HWND hwnd) const
{
    for (const Panel::ControlLayout &layout : Panel::Controls)
        if (hwnd && control(layout.control) == hwnd)
            return layout.control;
    return std::nullopt;
}

TAMAdvLed &TSO2VPanel::led(Control which) const
{
    return which == Control::Rig1LED ? *m_rig1Led : *m_rig2Led;
}

void TSO2VPanel::notifyTray(DWORD action)
{
    // The first version of the record: message, icon and tip.
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = m_hwnd;
    data.uID = TrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = TrayMessage;
    data.hIcon = m_trayIconShown;
    lstrcpynW(data.szTip, WinText::wide(Panel::Window.trayTip).c_str(), 64);
    if (!Shell_NotifyIconW(action, &data) && action == NIM_MODIFY)
        Shell_NotifyIconW(NIM_ADD, &data); // the shell had not taken it yet
}
