// Start-up, the settings, the entry points, and the tray icon.
#include "panel/core/PanelCore.h"

#include "about/core/ProductVersion.h"
#include "omnirig/TOmniRigX.h"

#include <utility>

namespace Panel {
namespace {

const Box InstanceRunning{"VELKOR (1.5) Initialization Failure", "Instance of Program Already Running"};
const Box LoadingFailed{"", "Error while loading OmniRig"};
// What the general error display says, once, when no rig server can be reached at all: a running one would have
// been found, an installed one started.
const char *const NotInstalled =
    "OmniRig is not installed. VELKOR works through OmniRig, which talks to the radios: install it from "
    "https://www.dxatlas.com/omnirig/, set up Rig 1 and Rig 2 in its settings, and start VELKOR again";
const Box NoTray{"VELKOR",
                 "This desktop has no notification area, so VELKOR shows no tray icon. The tray menu's commands are "
                 "on the panel: its buttons, and its own menu (right-click the panel, or press the menu key)."};

} // namespace

std::string errorText(const std::string &message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + '.';
    return message;
}

PanelCore::PanelCore(PanelFace &face, InstanceMark &marker, PollTimer &timer)
    : m_face(face), m_marker(marker), m_timer(timer),
      m_guard([this](const std::exception &failure) { showFailure(failure); })
{
}

PanelCore::~PanelCore()
{
    if (m_marked)
        m_marker.release();
}

void PanelCore::showFailure(const std::exception &failure)
{
    // Every poll would say it again: told once, with what to do about it.
    if (dynamic_cast<const OmniRigNotConnected *>(&failure)) {
        if (!std::exchange(m_toldNotInstalled, true))
            showError(NotInstalled);
        return;
    }
    showError(failure.what());
}

void PanelCore::showError(const std::string &message)
{
    m_face.showBox({m_face.applicationTitle(), errorText(message), BoxIcon::Stop, BoxButtons::Ok});
}

void PanelCore::FormCreate(const std::vector<std::string> &arguments, const std::string &currentDir)
{
    m_guard.run([&] {
        m_iniPath = PanelSettings::iniPath(arguments, currentDir);
        m_iniFile = IniFile(m_iniPath);
        applyStored(PanelSettings::read(m_iniFile));

        m_timer.start(PollIntervalMs);
        BuildMenus();
        m_face.setApplicationTitle("VELKOR");
        AddTrayIcon();
        fillAboutDialog();

        if (!m_marker.claim())
            return endStartup(InstanceRunning);
        m_marked = true;
        // With no rig server to load there is nothing the panel could do.
        if (!TOmniRigX::defaultFactory())
            return endStartup(LoadingFailed);
        IOmniRigXEvents *events = this;
        m_omniRigClient = std::make_unique<TOmniRigX>(events);
        m_omniRigClient->Connect();
        m_currentRig = m_omniRigClient->Rig1();

        OmniRigVisibleChange();
        OmniRigRigTypeChange(1);
        OmniRigStatusChange(1);
        OmniRigParamsChange(1, OmniRig::PM_ALL);
        // A server raises a rig's status when it changes, never at connection: an idle Rig2 that is on line
        // already would otherwise stay dark.
        showOnLine(Control::Rig2LED, *m_omniRigClient->Rig2());
    });
    if (!m_startupEnded)
        checkTray();
}

void PanelCore::endStartup(const Box &box)
{
    m_face.showBox(box);
    m_face.close();
    m_startupEnded = true;
}

void PanelCore::checkTray()
{
    // Without a notification area the tray menu is out of reach; the operator hears once where its commands
    // are, without a box to answer.
    if (!m_face.trayAvailable())
        m_face.showNote(NoTray);
}

void PanelCore::applyStored(const PanelSettings::Stored &stored)
{
    if (stored.fastTrack)
        m_fastTrack = PanelSettings::fastTrackFromText(*stored.fastTrack);
    // Each step sets a control from code, and its handler saves. The file gets what the last of them saves,
    // in one write: a crash half-way must not leave it with defaults in place of the operator's settings,
    // and a file that holds the settings already is left as it is. A failed save ends start-up here.
    m_holdingSaves = true;
    const struct Release {
        bool &holding;
        ~Release() { holding = false; }
    } release{m_holdingSaves};
    selectTrack(PanelSettings::Track::None);
    setRit(PanelSettings::ritFromShift(stored.shift));
    setShiftPosition(PanelSettings::positionFromOffset(stored.offset));
    RITClick();
    const PanelSettings::Track track = PanelSettings::trackFromText(stored.track);
    if (track != PanelSettings::Track::None)
        selectTrack(track);
    m_holdingSaves = false;
    SaveSettings();
}

void PanelCore::fillAboutDialog()
{
    m_face.setAboutTexts({"Velkor Using OmniRig", "VELKOR " + productVersion(), "(c) 2026 the VELKOR developers",
                          "Licence: GPL-3.0-or-later", "https://velkor.example.org/"});
}

void PanelCore::SaveSettings()
{
    if (m_holdingSaves)
        return;
    const PanelSettings::Applied applied{m_position, m_rit, m_track, m_fastTrack};
    // One replacement of the file per change: several handlers of one action each save what the one before
    // them saved, and a slider notification need not move it.
    if (applied == m_saved)
        return;
    m_iniFile = IniFile(m_iniPath);
    PanelSettings::write(m_iniFile, applied);
    m_saved = applied;
}

void PanelCore::AddTrayIcon()
{
    m_face.showTrayIcon(TrayImage::Main);
}

void PanelCore::SetTrayIcon(TrayImage image)
{
    m_face.showTrayIcon(image);
}

void PanelCore::DeleteTrayIcon()
{
    m_face.hideTrayIcon();
}

void PanelCore::clicked(Control control)
{
    m_guard.run([&] {
        switch (control) {
        case Control::A2B:
            return A2BClick();
        case Control::SWAP:
            return SWAPClick();
        case Control::B2A:
            return B2AClick();
        case Control::ShiftHZ:
            return ShiftHZClick();
        default:
            return;
        }
    });
}

void PanelCore::shiftMoved(int position)
{
    m_guard.run([&] {
        m_position = position;
        ShiftChange();
    });
}

void PanelCore::ritToggled(bool checked)
{
    m_guard.run([&] {
        m_rit = checked;
        RITClick();
    });
}

void PanelCore::doubleClicked(Control control)
{
    // The first click of it has run its handler already; the second runs it again, as a click does.
    clicked(control);
}

void PanelCore::trackClicked(Control button)
{
    m_guard.run([&] {
        // The face shows it selected already; its handler finds it so. The one selected before stays as it is.
        if (button == Control::TrackNone && m_track != PanelSettings::Track::None) {
            m_track = PanelSettings::Track::None;
            TrackNoneClick();
        } else if (button == Control::TrackRig1 && m_track != PanelSettings::Track::Rig1) {
            m_track = PanelSettings::Track::Rig1;
            TrackRig1Click();
        } else if (button == Control::TrackRig2 && m_track != PanelSettings::Track::Rig2) {
            m_track = PanelSettings::Track::Rig2;
            TrackRig2Click();
        }
    });
}

void PanelCore::systemCommand(int command)
{
    m_guard.run([&] { SystemCommandMessage(command); });
}

void PanelCore::trayActivated(bool rightButton)
{
    m_guard.run([&] { TrayIconMessage(rightButton); });
}

void PanelCore::trayMenuChosen(int id)
{
    m_guard.run([&] {
        switch (static_cast<TrayCommand>(id)) {
        case TrayCommand::A2B:
            return A2BClick();
        case TrayCommand::B2A:
            return B2AClick();
        case TrayCommand::SWAP:
            return SWAPClick();
        case TrayCommand::Settings:
            return OmnirigVisible();
        case TrayCommand::Caliber:
            return OffsetCaliber();
        case TrayCommand::About:
            return AboutClick();
        case TrayCommand::Exit:
            return ExitClick();
        }
    });
}

void PanelCore::timerTicked()
{
    m_guard.run([this] { TimerTick(); });
}

void PanelCore::windowClosing()
{
    // First of all that ends the program: taking the rig server down may take a moment, and a copy started
    // meanwhile must not be refused.
    if (m_marked)
        m_marker.release();
    m_marked = false;
}

// The server's events stop quietly at a failure: the server raises them again.
void PanelCore::OnVisibleChange()
{
    m_guard.quiet([this] { OmniRigVisibleChange(); });
}

void PanelCore::OnRigTypeChange(int rigNumber)
{
    m_guard.quiet([&] { OmniRigRigTypeChange(rigNumber); });
}

void PanelCore::OnStatusChange(int rigNumber)
{
    m_guard.quiet([&] { OmniRigStatusChange(rigNumber); });
}

void PanelCore::OnParamsChange(int rigNumber, std::int32_t params)
{
    m_guard.quiet([&] { OmniRigParamsChange(rigNumber, params); });
}

void PanelCore::OnCustomReply(int rigNumber, const std::string &, const std::string &)
{
    m_guard.quiet([&] { OmniRigCustomReply(rigNumber); });
}

} // namespace Panel
