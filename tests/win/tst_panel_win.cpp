// The Windows program itself under Wine, on a desktop of its own (Xvfb and openbox), against the
// out-of-process stand-in OmniRig, which it finds as OmniRig: start-up and the settings file's bytes, a second
// copy refused, the transfers, tracking, the offset and RIT, calibration, the LEDs' pixels on the screen, the
// status texts, the system menu and the tray menu with each command, and both ways out. It is driven from
// outside, as an operator or the shell would: clicks and keys posted to its controls, the tray icon's
// callback message, system commands. Wine lets no other process read a window's menus, so the menus are read
// by velkor_probe.exe, the same program with a window into it (PanelProbe_win.cpp).
#include "StandInControl.h"
#include "WineTest.h"
#include "about/win32/AboutDlg.h"
#include "led/core/LedCore.h"
#include "omnirig/OmniRig_TLB.h"
#include "omnirig/win/ComApartment.h"
#include "omnirig/win/ComBstr.h"
#include "omnirig/win/ComPtr.h"
#include "omnirig/win/OmniRigCom.h"
#include "panel/win32/VE2Z.h"
#include "text/win32/WinText.h"

#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace OmniRig;
using Panel::Control;

namespace {

constexpr int WaitMs = 20000;
constexpr ULONG_PTR ProbeQuery = 0x564B5052;

std::wstring windowsPath(const char *unixPath)
{
    std::wstring path = L"Z:" + WinText::wide(unixPath);
    for (wchar_t &c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

void check(HRESULT result, const char *call)
{
    if (FAILED(result))
        WineTest::fail(__FILE__, __LINE__, std::string(call) + " failed: " + WineTest::show(result));
}

// Handles this thread's messages until done() holds or the time is up.
bool waitFor(const std::function<bool()> &done, int ms = WaitMs)
{
    const ULONGLONG deadline = GetTickCount64() + ULONGLONG(ms);
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

std::string text(HWND window)
{
    wchar_t buffer[512] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, &length);
    return WinText::utf8(buffer);
}

LRESULT ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return LRESULT(result);
}

std::string fileText(const std::wstring &path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

struct WindowSearch {
    DWORD pid;
    const wchar_t *windowClass;
    std::wstring title;
    bool shown;
    HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND hwnd, LPARAM data)
{
    auto &s = *reinterpret_cast<WindowSearch *>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    if (owner != s.pid || (s.shown && !IsWindowVisible(hwnd)) || lstrcmpiW(name, s.windowClass) != 0)
        return TRUE;
    if (!s.title.empty() && WinText::wide(text(hwnd)) != s.title)
        return TRUE;
    s.found = hwnd;
    return FALSE;
}

// A shown top-level window of process pid with that class and, when given, that title; with shown false,
// also one not shown yet.
HWND shownWindow(DWORD pid, const wchar_t *windowClass, const std::wstring &title = {}, bool shown = true)
{
    WindowSearch search{pid, windowClass, title, shown};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Whether a process of that name runs.
bool processRuns(const wchar_t *name)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
        found = lstrcmpiW(entry.szExeFile, name) == 0;
    CloseHandle(snapshot);
    return found;
}

// The texts of a box's static controls, joined.
std::string boxText(HWND box)
{
    std::string all;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (lstrcmpiW(name, L"Static") == 0)
            all += text(child);
    }
    return all;
}

// The colours on the screen in a rectangle, 0x00RRGGBB row by row from the top left.
std::vector<std::uint32_t> screenPixels(const RECT &area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t *>(bits),
                                      static_cast<const std::uint32_t *>(bits) + width * height);
    for (std::uint32_t &pixel : pixels)
        pixel &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// What the LED shows with these properties on the panel's grey, as the LED's own rules paint it.
std::vector<std::uint32_t> expectedLed(bool on, LedCore::TColor colorOn)
{
    struct NoFace final : LedFace {
        void redrawNow() override {}
    } face;
    LedCore led(face);
    led.setColor(1, colorOn);
    led.setLedOn(on);
    LedPixels pixels{};
    led.paint(ledPixelFromColor(0x808080), pixels);
    std::vector<std::uint32_t> rgb(pixels.begin(), pixels.end());
    for (std::uint32_t &pixel : rgb)
        pixel &= 0xFFFFFF;
    return rgb;
}

// One run of the program (velkor.exe or the probe build) in a folder of its own, against the stand-in.
class Program {
public:
    // shown: waits for the panel's window to be shown; without, only for it to be made.
    explicit Program(const std::string &settings = {}, const wchar_t *exe = L"velkor.exe",
                     const std::wstring &folder = {}, bool shown = true)
        : m_folder(folder.empty() ? freshFolder() : folder)
    {
        if (!settings.empty())
            std::ofstream(std::filesystem::path(ini()), std::ios::binary) << settings;
        m_process = start(exe);
        m_panel = waitForPanel(shown);
    }
    ~Program()
    {
        if (m_process.hProcess) {
            // Closed as the operator closes it, so that it lets go of the stand-in; killed only when it hangs.
            if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT && m_panel)
                PostMessageW(m_panel, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(m_process.hProcess, 10000) == WAIT_TIMEOUT)
                TerminateProcess(m_process.hProcess, 9);
            WaitForSingleObject(m_process.hProcess, 10000);
            CloseHandle(m_process.hProcess);
            CloseHandle(m_process.hThread);
        }
    }
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    static std::wstring freshFolder()
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        static int runs = 0;
        const std::wstring folder =
            std::wstring(temp) + L"velkor-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++runs);
        CreateDirectoryW(folder.c_str(), nullptr);
        return folder;
    }

    PROCESS_INFORMATION start(const wchar_t *exe) const
    {
        // The build whose programs run: this one ("win32"), or the 64-bit one ("win64").
        const std::wstring build =
            windowsPath(WineTest::argument() == "win64" ? VELKOR_WIN64_BUILD_DIR : VELKOR_BUILD_DIR);
        const std::wstring folder = exe == std::wstring(L"velkor.exe") ? build : build + L"\\tests\\win";
        std::wstring command = L"\"" + folder + L"\\" + exe + L"\" -F \"" + ini() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, m_folder.c_str(), &startup,
                            &process))
            WineTest::fail(__FILE__, __LINE__, "the program could not be started");
        return process;
    }

    std::wstring ini() const { return m_folder + L"\\VELKOR.INI"; }
    const std::wstring &folder() const { return m_folder; }
    std::string settings() const { return fileText(ini()); }
    HWND panel() const { return m_panel; }
    HANDLE process() const { return m_process.hProcess; }
    DWORD pid() const { return m_process.dwProcessId; }
    HWND item(Control control) const { return GetDlgItem(m_panel, TSO2VPanel::controlId(control)); }
    std::string label(Control control) const { return text(item(control)); }
    bool shown(Control control) const { return IsWindowVisible(item(control)); }
    bool checked(Control control) const { return ask(item(control), BM_GETCHECK) == BST_CHECKED; }
    int shift() const { return int(ask(item(Control::Shift), TBM_GETPOS)); }
    // A click as the control gets it from the mouse.
    void click(Control control) const { PostMessageW(item(control), BM_CLICK, 0, 0); }
    void clickLabel(Control control) const
    {
        PostMessageW(item(control), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(item(control), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    void key(HWND to, WPARAM key) const
    {
        PostMessageW(to, WM_KEYDOWN, key, 1);
        PostMessageW(to, WM_KEYUP, key, 0xC0000001);
    }
    void systemCommand(WPARAM command) const { PostMessageW(m_panel, WM_SYSCOMMAND, command, 0); }
    void trayCallback(UINT mouse) const
    {
        PostMessageW(m_panel, TSO2VPanel::TrayMessage, TSO2VPanel::TrayIconId, mouse);
    }
    bool ended(int ms = WaitMs) const
    {
        return waitFor([&] { return WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0; }, ms);
    }
    HWND waitForBox(const std::string &caption) const
    {
        HWND box = nullptr;
        waitFor([&] { return (box = shownWindow(pid(), L"#32770", WinText::wide(caption))) != nullptr; });
        return box;
    }
    // The probe's view of the menus and the tray icon.
    std::string probe() const
    {
        const std::wstring path = m_folder + L"\\probe.txt";
        DeleteFileW(path.c_str());
        COPYDATASTRUCT data{ProbeQuery, DWORD(path.size() * sizeof(wchar_t)), const_cast<wchar_t *>(path.data())};
        ask(m_panel, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
        return fileText(path);
    }
    // Chooses an item of the tray menu, as the keyboard does in an open menu.
    void chooseTrayItem(int position) const
    {
        trayCallback(WM_RBUTTONDOWN);
        HWND menu = nullptr;
        CHECK(waitFor([&] { return (menu = shownWindow(pid(), L"#32768")) != nullptr; }));
        for (int i = 0; i <= position; ++i)
            key(menu, VK_DOWN);
        key(menu, VK_RETURN);
        CHECK(waitFor([&] { return !IsWindowVisible(menu); }));
    }
    std::vector<std::uint32_t> ledPixels(Control led) const
    {
        RECT area{};
        GetWindowRect(item(led), &area);
        return screenPixels(area);
    }

private:
    HWND waitForPanel(bool shown) const
    {
        HWND panel = nullptr;
        waitFor([&] {
            panel = shownWindow(m_process.dwProcessId, TSO2VPanel::ClassName, {}, shown);
            return panel || WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0;
        });
        return panel;
    }

    std::wstring m_folder;
    PROCESS_INFORMATION m_process{};
    HWND m_panel = nullptr;
};

// The stand-in OmniRig, registered as OmniRig itself: the test reaches it as the program does, through
// CoCreateInstance, and every server object of it shares the same two rigs, so the test drives the radios the
// program sees. It starts as OmniRig that has been running a while: Rig1 an IC-7300 at 14074000 Hz USB, Rig2 an
// FT-991 at 7074000 Hz LSB, both on line, read and idle, so that the program connects without an event.
struct StandIn {
    ComApartment apartment;
    ComPtr<IStandInControl> control;

    StandIn()
    {
        check(CoCreateInstance(OmniRig::Com::CLSID_OmniRigX, nullptr, CLSCTX_LOCAL_SERVER, IID_IStandInControl,
                               reinterpret_cast<void **>(control.put())),
              "CoCreateInstance");
        check(control->Reset(), "Reset");
    }
    // The radio itself is set so; the program hears of it from the next poll.
    void radio(long n, long freq, long mode, long tx = PM_RX) const
    {
        check(control->SetRadio(n, freq, mode, tx), "SetRadio");
    }
    void link(long n, bool enabled, bool portAvailable = true, bool answering = true, bool answersPolls = true) const
    {
        const auto flag = [](bool on) { return on ? VARIANT_TRUE : VARIANT_FALSE; };
        check(control->SetLink(n, flag(enabled), flag(portAvailable), flag(answering), flag(answersPolls)), "SetLink");
    }
    void define(long n, const wchar_t *type) const
    {
        check(control->SetDefinition(n, ComBstr(type).get()), "SetDefinition");
    }
    // What the radio holds now: what it was set to, and what the program had the server tell it since.
    std::pair<long, long> read(long n) const
    {
        LONG freq = 0, mode = 0;
        check(control->GetRadio(n, &freq, &mode), "GetRadio");
        return {freq, mode};
    }
    // Waits for a poll of the rig to end after now: what was set on the radio before is what the server shows,
    // and every write queued before has reached the radio (a write goes ahead of a poll).
    bool polled(long n) const
    {
        LONG before = 0, now = 0;
        check(control->Polls(n, &before), "Polls");
        return waitFor([&] { return SUCCEEDED(control->Polls(n, &now)) && now > before; });
    }
    // As a second client of the server would: OmniRig raises VisibleChange to every client inside the call.
    void showDialog(bool visible) const
    {
        const ComPtr<OmniRig::Com::IOmniRigX> server =
            control.query<OmniRig::Com::IOmniRigX>(OmniRig::Com::IID_IOmniRigX);
        CHECK(server);
        check(server->put_DialogVisible(visible ? VARIANT_TRUE : VARIANT_FALSE), "put_DialogVisible");
    }
};

const std::string Settings350 = "[VE2Z]\nOFFSET=350\nSHIFT=YES\nTRACK=0\n";
const std::pair<long, long> Rig1AtStart{14074000, PM_SSB_U};
const std::pair<long, long> Rig2AtStart{7074000, PM_SSB_L};

} // namespace

WINE_TEST(startsWithTheWindowAndTheSettingsAsApplied)
{
    StandIn standIn;
    Program program("[VE2Z]\nOFFSET=-2500\nSHIFT=on\nTRACK=2\n");
    CHECK(program.panel() != nullptr);
    CHECK_EQ(text(program.panel()), std::string("VE2Z"));
    RECT frame{};
    GetWindowRect(program.panel(), &frame);
    CHECK_EQ(frame.right - frame.left, 224L);
    CHECK_EQ(frame.bottom - frame.top, 167L);
    // Applied, then saved as applied: the offset clamped, SHIFT as YES, TRACK kept.
    CHECK_EQ(program.settings(), std::string("[VE2Z]\nOFFSET=-2000\nSHIFT=YES\nTRACK=2\n"));
    CHECK_EQ(program.shift(), 0);
    CHECK(program.checked(Control::RIT));
    CHECK(program.checked(Control::TrackRig2) && !program.checked(Control::TrackNone));
    CHECK_EQ(program.label(Control::Rig1), std::string("IC-7300"));
    CHECK_EQ(program.label(Control::Rig2), std::string("FT-991"));
    CHECK_EQ(program.label(Control::OmniRig), std::string("[1] On-line"));
    CHECK_EQ(program.label(Control::ShiftHZ), std::string("-2000 Hz"));
    // The controls in their places, in client coordinates.
    const struct {
        Control control;
        RECT place;
    } places[] = {{Control::A2B, {2, 4, 67, 45}},         {Control::B2A, {139, 4, 204, 45}},
                  {Control::Rig2LED, {115, 48, 128, 61}}, {Control::Shift, {12, 78, 149, 95}},
                  {Control::RIT, {4, 80, 21, 97}},        {Control::TrackRig2, {147, 104, 204, 121}}};
    for (const auto &expected : places) {
        const WineTest::Row row("control " + std::to_string(TSO2VPanel::controlId(expected.control)));
        RECT place{};
        GetWindowRect(program.item(expected.control), &place);
        MapWindowPoints(nullptr, program.panel(), reinterpret_cast<POINT *>(&place), 2);
        CHECK(EqualRect(&place, &expected.place));
    }
    const LONG_PTR style = GetWindowLongPtrW(program.item(Control::Shift), GWL_STYLE);
    CHECK((style & TBS_ENABLESELRANGE) != 0);
    CHECK_EQ(ask(program.item(Control::Shift), TBM_GETSELSTART), LRESULT(0));
    CHECK_EQ(ask(program.item(Control::Shift), TBM_GETSELEND), LRESULT(2000));
}

WINE_TEST(aSecondCopyIsRefusedAndTheFirstRunsOn)
{
    StandIn standIn;
    Program first(Settings350);
    CHECK(first.panel() != nullptr);
    const PROCESS_INFORMATION second = first.start(L"velkor.exe");
    HWND box = nullptr;
    CHECK(waitFor([&] {
        return (box = shownWindow(second.dwProcessId, L"#32770", L"VELKOR (1.5) Initialization Failure")) != nullptr;
    }));
    CHECK_EQ(boxText(box), std::string("Instance of Program Already Running"));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    CHECK(waitFor([&] { return WaitForSingleObject(second.hProcess, 0) == WAIT_OBJECT_0; }));
    CloseHandle(second.hProcess);
    CloseHandle(second.hThread);
    CHECK(WaitForSingleObject(first.process(), 0) == WAIT_TIMEOUT);
    CHECK(IsWindowVisible(first.panel()));
}

WINE_TEST(theButtonsTransferWithTheOffset)
{
    StandIn standIn;
    Program program(Settings350);
    program.click(Control::A2B);
    CHECK(waitFor([&] { return standIn.read(2) == std::make_pair(14074350L, long(PM_SSB_U)); }));
    standIn.radio(2, 14200000, PM_CW_U);
    CHECK(standIn.polled(2));
    program.click(Control::B2A);
    CHECK(waitFor([&] { return standIn.read(1) == std::make_pair(14199650L, long(PM_CW_U)); }));
    standIn.radio(2, 7020000, PM_SSB_L);
    CHECK(standIn.polled(1) && standIn.polled(2));
    program.click(Control::SWAP);
    CHECK(waitFor([&] { return standIn.read(1) == std::make_pair(7019650L, long(PM_SSB_L)); }));
    CHECK(waitFor([&] { return standIn.read(2) == std::make_pair(14200000L, long(PM_CW_U)); }));
    // Off line, nothing moves: the radio has stopped answering, and the server has said so.
    check(standIn.control->SetTiming(500, 1000), "SetTiming");
    standIn.link(1, true, true, false);
    CHECK(waitFor([&] { return program.label(Control::OmniRig) == "[1] Rig is not responding"; }));
    program.click(Control::A2B);
    program.click(Control::RIT); // a later message: once it has run, so has A>B
    CHECK(waitFor([&] { return !program.checked(Control::RIT); }));
    CHECK(standIn.polled(2));
    CHECK(standIn.read(2) == std::make_pair(14200000L, long(PM_CW_U)));
}

WINE_TEST(theClientAreaTheFocusAndTheSecondClick)
{
    StandIn standIn;
    Program program(Settings350);
    RECT client{};
    GetClientRect(program.panel(), &client);
    CHECK_EQ(client.right, 216L);
    CHECK_EQ(client.bottom, 140L);
    const DWORD thread = GetWindowThreadProcessId(program.panel(), nullptr);
    const auto focused = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
    };
    // Opens on the slider; back on the control it was left on when a box over it closes.
    CHECK(waitFor([&] { return focused() == program.item(Control::Shift); }));
    program.key(program.item(Control::Shift), VK_TAB);
    CHECK(waitFor([&] { return focused() == program.item(Control::RIT); }));
    program.systemCommand(Panel::PanelCore::AboutCommand);
    const HWND box = program.waitForBox("Velkor Using OmniRig");
    CHECK(box != nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    CHECK(waitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
    CHECK(waitFor([&] { return focused() == program.item(Control::RIT); }));
    // The second click of a double click on A>B transfers again: Rig1 has moved in between. A>B takes no
    // focus: the keys still move what they moved before the click.
    program.click(Control::A2B);
    CHECK(waitFor([&] { return standIn.read(2) == std::make_pair(14074350L, long(PM_SSB_U)); }));
    CHECK(waitFor([&] { return focused() == program.item(Control::RIT); }));
    standIn.radio(1, 14100000, PM_SSB_U);
    CHECK(standIn.polled(1));
    PostMessageW(program.item(Control::A2B), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(program.item(Control::A2B), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    CHECK(waitFor([&] { return standIn.read(2) == std::make_pair(14100350L, long(PM_SSB_U)); }));
    // Tab goes on through the layout's tab stops, the tracking buttons as one, and round to the slider.
    program.key(program.item(Control::RIT), VK_TAB);
    CHECK(waitFor([&] { return focused() == program.item(Control::TrackNone); }));
    program.key(program.item(Control::TrackNone), VK_TAB);
    CHECK(waitFor([&] { return focused() == program.item(Control::Shift); }));
}

WINE_TEST(trackingFollowsAtTheNextPoll)
{
    StandIn standIn;
    Program program(Settings350);
    program.click(Control::TrackRig1);
    CHECK(waitFor([&] { return program.settings() == "[VE2Z]\nOFFSET=350\nSHIFT=YES\nTRACK=1\n"; }));
    // The operator turns Rig1's knob: the server's poll raises ParamsChange, and the panel's own 5-second poll
    // brings Rig2 along.
    standIn.radio(1, 21000000, PM_CW_U);
    CHECK(waitFor([&] { return standIn.read(2) == std::make_pair(21000350L, long(PM_CW_U)); }));
}

WINE_TEST(theSliderTheLabelAndRit)
{
    StandIn standIn;
    Program program(Settings350);
    const HWND shift = program.item(Control::Shift);
    program.key(shift, VK_RIGHT);
    CHECK(waitFor([&] { return program.label(Control::ShiftHZ) == "+351 Hz" && ask(shift, TBM_GETSELEND) == 2351; }));
    CHECK(waitFor([&] { return program.settings() == "[VE2Z]\nOFFSET=351\nSHIFT=YES\nTRACK=0\n"; }));
    program.clickLabel(Control::ShiftHZ);
    CHECK(waitFor([&] { return program.label(Control::ShiftHZ) == "+0 Hz" && program.shift() == 2000; }));
    CHECK(waitFor([&] { return program.settings() == "[VE2Z]\nOFFSET=0\nSHIFT=YES\nTRACK=0\n"; }));
    program.click(Control::RIT);
    CHECK(waitFor([&] { return !program.shown(Control::Shift) && !program.shown(Control::ShiftHZ); }));
    CHECK(waitFor([&] { return program.settings() == "[VE2Z]\nOFFSET=0\nSHIFT=NOT\nTRACK=0\n"; }));
}

WINE_TEST(calibrationTakesTheOffsetFromTheRigs)
{
    StandIn standIn;
    Program program("[VE2Z]\nOFFSET=0\nSHIFT=NOT\nTRACK=0\n");
    standIn.radio(2, 14075250, PM_SSB_U);
    CHECK(standIn.polled(2));
    program.systemCommand(Panel::PanelCore::CaliberCommand);
    CHECK(waitFor([&] { return program.shift() == 3250; }));
    CHECK(waitFor([&] {
        return program.label(Control::ShiftHZ) == "+1250 Hz" && program.checked(Control::RIT) &&
               program.shown(Control::Shift);
    }));
}

WINE_TEST(theLedsShowEachStateOnTheScreen)
{
    StandIn standIn;
    check(standIn.control->SetTiming(500, 1000), "SetTiming");
    Program program(Settings350);
    const auto shows = [&](Control led, bool on, LedCore::TColor colour) {
        return waitFor([&] { return program.ledPixels(led) == expectedLed(on, colour); });
    };
    // Both rigs on line and idle when the program connects: no event comes, and both light.
    CHECK(shows(Control::Rig1LED, true, 0x00FF00));
    CHECK(shows(Control::Rig2LED, true, 0x00FF00));
    // Keyed: ParamsChange, then the panel's poll turns it red.
    standIn.radio(1, 14074000, PM_SSB_U, PM_TX);
    CHECK(shows(Control::Rig1LED, true, 0x0000FF));
    // Silent past the timeout: off line.
    standIn.link(1, true, true, false);
    CHECK(shows(Control::Rig1LED, false, 0x0000FF));
    standIn.link(2, true, false);
    CHECK(shows(Control::Rig2LED, false, 0x00FF00));
    standIn.link(2, true);
    CHECK(shows(Control::Rig2LED, true, 0x00FF00));
}

WINE_TEST(theStatusTexts)
{
    StandIn standIn;
    Program program(Settings350, L"velkor_probe.exe");
    // Each a change of Rig1 as OmniRig makes it, and the status it then raises.
    const struct {
        const char *name;
        std::function<void()> change;
        const char *label;
        bool ledShown;
        const char *trayIcon;
    } rows[] = {
        {"no rig", [&] { standIn.define(1, L"NONE"); }, "[1] Rig is not configured", false, "MAINICON"},
        {"a rig again", [&] { standIn.define(1, L"IC-7300"); }, "[1] On-line", true, "MAINICON"},
        {"its port gone", [&] { standIn.link(1, true, false); }, "[1] Port is not available", true, "MAINICON"},
        // A status the panel has no phrase for: the server's words alone, and its icon.
        {"disabled", [&] { standIn.link(1, false); }, "Rig is disabled", true, "OMNIRIG"},
    };
    for (const auto &row : rows) {
        const WineTest::Row name(row.name);
        row.change();
        // Each read may come between two steps of the handler (it runs while the handler waits for OmniRig),
        // so the whole outcome is waited for.
        CHECK(waitFor([&] {
            return program.label(Control::OmniRig) == row.label && program.shown(Control::Rig1LED) == row.ledShown &&
                   program.shown(Control::Rig1) == row.ledShown &&
                   program.probe().ends_with(std::string("tray icon\n") + row.trayIcon + "\n");
        }));
    }
    standIn.showDialog(true);
    CHECK(waitFor([&] {
        return program.label(Control::OmniRig) == "OmniRig Visible" && !program.shown(Control::A2B) &&
               !program.shown(Control::SWAP) && !program.shown(Control::B2A);
    }));
    standIn.showDialog(false);
    CHECK(waitFor([&] { return program.label(Control::OmniRig).empty() && program.shown(Control::A2B); }));
}

// How the panel meets OmniRig's own ways: what the server does, with what settings the program starts, the
// button the operator then presses (none: what start-up does), and what the two radios hold afterwards
// (frequency, mode). The offset is -350 Hz, so that a copy from 0 Hz would tune the other radio to 350 Hz.
WINE_TEST(theRealServersWays)
{
    const std::string offset = "[VE2Z]\nOFFSET=-350\nSHIFT=YES\nTRACK=0\n";
    const std::string tracking = "[VE2Z]\nOFFSET=-350\nSHIFT=YES\nTRACK=2\n";
    // On line at its radio's first answer, before any poll has read it: Freq reads 0.
    const auto unread2 = [](const StandIn &s) {
        s.link(2, false);
        s.link(2, true, true, true, false);
    };
    // A radio tuned through its VFOs: Freq is neither read nor written, FreqA is.
    const auto vfoOnly2 = [](const StandIn &s) {
        s.define(2, L"FT-1000MP");
        CHECK(s.polled(2));
    };
    const auto unchanged = std::pair<long, long>{0, 0};
    const struct {
        const char *name;
        std::function<void(const StandIn &)> server;
        const std::string &settings;
        std::optional<Control> button;
        std::pair<long, long> rig1, rig2; // unchanged: as at the start
    } rows[] = {
        {"Rig2 unread: B>A writes nothing", unread2, offset, Control::B2A, unchanged, unchanged},
        {"Rig2 unread: Rig1 does not follow it at start-up", unread2, tracking, std::nullopt, unchanged, unchanged},
        {"Rig2 unread: A>B still tunes it", unread2, offset, Control::A2B, unchanged, {14073650, PM_SSB_U}},
        {"Rig2 through FreqA only: A>B tunes it there",
         vfoOnly2,
         offset,
         Control::A2B,
         unchanged,
         {14073650, PM_SSB_U}},
        {"Rig2 through FreqA only: B>A copies from there",
         vfoOnly2,
         offset,
         Control::B2A,
         {7074350, PM_SSB_L},
         unchanged},
    };
    for (const auto &row : rows) {
        const WineTest::Row name(row.name);
        StandIn standIn;
        row.server(standIn);
        Program program(row.settings);
        CHECK(program.panel() != nullptr);
        if (row.button)
            program.click(*row.button);
        program.click(Control::RIT); // a later message: once it has run, so has the transfer
        CHECK(waitFor([&] { return !program.checked(Control::RIT); }));
        const auto expected1 = row.rig1 == unchanged ? Rig1AtStart : row.rig1;
        const auto expected2 = row.rig2 == unchanged ? Rig2AtStart : row.rig2;
        CHECK(waitFor([&] { return standIn.read(1) == expected1 && standIn.read(2) == expected2; }));
        // Every write the panel made has reached its radio once the rig has been polled since.
        CHECK(standIn.polled(1));
        CHECK(standIn.read(1) == expected1 && standIn.read(2) == expected2);
    }
}

// With no OmniRig registered at all, the operator is told once what is missing and where to get it.
WINE_TEST(withoutOmniRigOneClearBox)
{
    const auto registration = [](const wchar_t *how) {
        std::wstring command = L"\"" + windowsPath(VELKOR_BUILD_DIR) + L"\\tests\\win\\StandInExe.exe\" " + how;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        CHECK(
            CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
        WaitForSingleObject(process.hProcess, 30000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    };
    // A stand-in still running would be found by its class object, whatever the registry says.
    CHECK(waitFor([] { return !processRuns(L"StandInExe.exe"); }));
    registration(L"/UnregServer");
    struct Registered {
        std::function<void()> again;
        ~Registered() { again(); }
    } registered{[&] { registration(L"/RegServer"); }};
    // The box comes during start-up, before the window is shown.
    Program program(Settings350, L"velkor.exe", {}, false);
    const HWND box = program.waitForBox("VELKOR");
    CHECK(box != nullptr);
    CHECK(boxText(box).starts_with("OmniRig is not installed. "));
    CHECK(boxText(box).find("https://www.dxatlas.com/omnirig/") != std::string::npos);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    CHECK(waitFor([&] { return !IsWindowVisible(box); }));
}

WINE_TEST(theSystemMenuAndItsCommands)
{
    StandIn standIn;
    Program program(Settings350, L"velkor_probe.exe");
    const std::string menus = program.probe();
    const std::string system = menus.substr(0, menus.find("tray menu\n"));
    // The standard entries less the first (Restore), Quit in place of Close, then ours.
    // The system's entries less the first (Restore), with Quit for Close, then ours; Wine adds one of its own.
    CHECK(system.starts_with("system menu\n61456\t&Move\n"));
    CHECK(system.find("\n61728\t") == std::string::npos);
    CHECK(system.find("\n61536\t&Quit\tAlt+F4\n") != std::string::npos);
    CHECK(system.ends_with("\n-\n555\tOmniRig Settings\n444\tOffset Caliber\n666\t&About...\n"));
    program.systemCommand(Panel::PanelCore::SettingsCommand);
    short put = 0;
    CHECK(waitFor([&] { return SUCCEEDED(standIn.control->DialogVisiblePut(&put)) && put == -1; }));

    program.systemCommand(Panel::PanelCore::AboutCommand);
    const HWND about = program.waitForBox("Velkor Using OmniRig");
    CHECK(about != nullptr);
    CHECK_EQ(text(GetDlgItem(about, TAboutDlg::ProductNameId)), std::string("VELKOR 1.5.00"));
    const LONG_PTR style = GetWindowLongPtrW(about, GWL_STYLE);
    CHECK((style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) == 0 && (style & WS_SYSMENU) != 0);
    // Escape does nothing; a mark posted after it shows when it has been handled. Enter presses OK.
    const HWND ok = GetDlgItem(about, IDOK);
    program.key(ok, VK_ESCAPE);
    PostMessageW(ok, BM_SETSTATE, TRUE, 0);
    CHECK(waitFor([&] { return (ask(ok, BM_GETSTATE) & BST_PUSHED) != 0; }));
    CHECK(IsWindowVisible(about));
    PostMessageW(ok, BM_SETSTATE, FALSE, 0);
    program.key(ok, VK_RETURN);
    CHECK(waitFor([&] { return !IsWindowVisible(about); }));

    // Quit closes at once, without asking and without writing the settings.
    std::filesystem::remove(std::filesystem::path(program.ini()));
    program.systemCommand(SC_CLOSE);
    CHECK(program.ended());
    CHECK(!std::filesystem::exists(std::filesystem::path(program.ini())));
}

WINE_TEST(theTrayMenuAndTheConfirmedExit)
{
    StandIn standIn;
    Program program(Settings350, L"velkor_probe.exe");
    const std::string menus = program.probe();
    CHECK(menus.find("tray menu\n1000\tA>B\n1001\tB>A\n1002\tA<>B\n1003\tOmniRig Settings\n1004\tOffset Caliber\n"
                     "1005\tAbout\n1006\tExit\ntray icon\nMAINICON\n") != std::string::npos);
    // The left button does nothing.
    program.trayCallback(WM_LBUTTONDOWN);
    program.trayCallback(WM_RBUTTONDOWN);
    HWND menu = nullptr;
    CHECK(waitFor([&] { return (menu = shownWindow(program.pid(), L"#32768")) != nullptr; }));
    program.key(menu, VK_ESCAPE);
    CHECK(waitFor([&] { return !IsWindowVisible(menu); }));

    program.chooseTrayItem(2); // A<>B
    CHECK(waitFor([&] {
        return standIn.read(2) == std::make_pair(14074350L, long(PM_SSB_U)) &&
               standIn.read(1) == std::make_pair(7073650L, long(PM_SSB_L));
    }));
    program.chooseTrayItem(5); // About
    const HWND about = program.waitForBox("Velkor Using OmniRig");
    CHECK(about != nullptr);
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    CHECK(waitFor([&] { return !IsWindowVisible(about); }));

    std::filesystem::remove(std::filesystem::path(program.ini()));
    program.chooseTrayItem(6); // Exit, then Cancel
    HWND box = program.waitForBox("Warning!");
    CHECK(box != nullptr);
    CHECK_EQ(boxText(box), std::string("Do you really want to exit?"));
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    CHECK(waitFor([&] { return !IsWindowVisible(box); }));
    // Answered after the command has run to its end: the program runs on.
    CHECK(program.probe().find("tray icon\nMAINICON") != std::string::npos);
    CHECK(WaitForSingleObject(program.process(), 0) == WAIT_TIMEOUT);
    program.chooseTrayItem(6); // Exit, then OK
    box = program.waitForBox("Warning!");
    CHECK(box != nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    CHECK(program.ended());
    CHECK(!std::filesystem::exists(std::filesystem::path(program.ini())));
}

namespace {

// A notification area of the test's own, which the programs find in place of Wine's: the newest window of the
// shell's class. Like the Windows shell, it keeps an icon until its program removes it (Wine's also removes the
// icons of a window that has gone, which would hide an icon left behind). It answers while the test waits.
class TrayHost {
public:
    TrayHost()
    {
        icons().clear();
        const WNDCLASSW tray{0, &answer, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"Shell_TrayWnd"};
        RegisterClassW(&tray);
        m_window = CreateWindowExW(WS_EX_TOPMOST, tray.lpszClassName, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   nullptr, nullptr);
    }
    ~TrayHost() { DestroyWindow(m_window); }
    // The windows whose icons it shows.
    static std::vector<HWND> &icons()
    {
        static std::vector<HWND> shown;
        return shown;
    }

private:
    static LRESULT CALLBACK answer(HWND window, UINT message, WPARAM owner, LPARAM data)
    {
        if (message != WM_COPYDATA)
            return DefWindowProcW(window, message, owner, data);
        // Wine's shell sends the call (NIM_ADD, NIM_DELETE, ...) as the data's number, with the icon's window.
        const ULONG_PTR call = reinterpret_cast<const COPYDATASTRUCT *>(data)->dwData;
        if (call == NIM_ADD)
            icons().push_back(HWND(owner));
        else if (call == NIM_DELETE)
            std::erase(icons(), HWND(owner));
        return TRUE;
    }
    HWND m_window;
};

// Holds the panel's thread while the 5-second tick (the poll timer's message) and then key are queued, so that
// the tick, which handles the messages waiting, finds the key.
void keyDuringTheTick(const Program &program, HWND to, WPARAM key)
{
    const HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(program.panel(), nullptr));
    SuspendThread(thread);
    PostMessageW(program.panel(), WM_TIMER, 1, 0);
    program.key(to, key);
    ResumeThread(thread);
    CloseHandle(thread);
}

} // namespace

WINE_TEST(theTrayIconGoesWithTheProgramWhicheverWayItEnds)
{
    StandIn standIn;
    const TrayHost tray;
    const struct {
        const char *way;
        void (*leave)(const Program &);
    } ways[] = {{"Quit", [](const Program &p) { p.systemCommand(SC_CLOSE); }},
                {"the close box", [](const Program &p) { PostMessageW(p.panel(), WM_CLOSE, 0, 0); }},
                {"Alt+F4", [](const Program &p) { PostMessageW(p.panel(), WM_SYSKEYDOWN, VK_F4, 0x20000001); }},
                {"Exit",
                 [](const Program &p) {
                     p.chooseTrayItem(6);
                     PostMessageW(p.waitForBox("Warning!"), WM_COMMAND, IDOK, 0);
                 }},
                {"a second copy, refused", [](const Program &p) {
                     const PROCESS_INFORMATION second = p.start(L"velkor.exe");
                     HWND box = nullptr;
                     CHECK(waitFor([&] {
                         return (box = shownWindow(second.dwProcessId, L"#32770")) && TrayHost::icons().size() == 2;
                     }));
                     PostMessageW(box, WM_COMMAND, IDOK, 0);
                     CHECK(waitFor([&] { return WaitForSingleObject(second.hProcess, 0) == WAIT_OBJECT_0; }));
                     CloseHandle(second.hProcess);
                     CloseHandle(second.hThread);
                     CHECK(TrayHost::icons() == std::vector<HWND>{p.panel()});
                     p.systemCommand(SC_CLOSE);
                 }}};
    for (const auto &way : ways) {
        const WineTest::Row row(way.way);
        Program program(Settings350);
        CHECK(waitFor([&] { return TrayHost::icons() == std::vector<HWND>{program.panel()}; }));
        way.leave(program);
        CHECK(program.ended());
        CHECK(TrayHost::icons().empty());
    }
}

WINE_TEST(aBoxTakesItsKeysAlsoWhileTheTickRuns)
{
    StandIn standIn;
    Program program(Settings350);
    const struct {
        const char *box;
        WPARAM inTheTick;
        WPARAM after;
    } rows[] = {{"Velkor Using OmniRig", VK_RETURN, 0}, // OK
                {"Warning!", VK_ESCAPE, 0},             // Cancel
                {"Warning!", VK_TAB, VK_RETURN}};       // on to Cancel, which Enter presses
    for (const auto &row : rows) {
        const WineTest::Row name(row.box + std::string(" ") + std::to_string(row.inTheTick));
        if (row.box == std::string("Warning!"))
            program.chooseTrayItem(6);
        else
            program.systemCommand(Panel::PanelCore::AboutCommand);
        const HWND box = program.waitForBox(row.box);
        CHECK(box != nullptr);
        keyDuringTheTick(program, box, row.inTheTick);
        if (row.after)
            program.key(box, row.after);
        CHECK(waitFor([&] { return !IsWindowVisible(box); }));
        // Closed, and the program runs on: it still answers a click.
        const bool rit = program.checked(Control::RIT);
        program.click(Control::RIT);
        CHECK(waitFor([&] { return program.checked(Control::RIT) != rit; }));
    }
}
