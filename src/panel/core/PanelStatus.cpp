// Rig status monitoring: the rig server's five events, the poll, and the refresh that several share.
#include "panel/core/PanelCore.h"

#include "omnirig/TOmniRigX.h"
#include "panel/core/HexStr.h"

#include <array>

namespace Panel {
namespace {

std::string statusPrefix(int rigNumber)
{
    return "[" + std::to_string(rigNumber) + "] ";
}

} // namespace

IRigX *PanelCore::rigFor(int rigNumber)
{
    return rigNumber == 1 ? m_omniRigClient->Rig1() : m_omniRigClient->Rig2();
}

void PanelCore::OmniRigVisibleChange()
{
    const bool visible = m_omniRigClient->DialogVisible();
    m_face.setText(Control::OmniRig, visible ? "OmniRig Visible" : "");
    // While the server's own dialog is up, a transfer would act on settings the operator is changing.
    const std::array buttons{Control::SWAP, Control::A2B, Control::B2A};
    for (const Control button : buttons)
        m_face.setEnabled(button, !visible);
    for (const Control button : buttons)
        m_face.setVisible(button, !visible);
}

void PanelCore::OmniRigRigTypeChange(int RigNumber)
{
    m_currentRig = rigFor(RigNumber);
    m_face.setText(RigNumber == 1 ? Control::Rig1 : Control::Rig2, m_currentRig->RigType());
    m_face.setText(Control::OmniRig, statusPrefix(RigNumber) + m_currentRig->RigType());
    RefreshRigs();
}

void PanelCore::OmniRigStatusChange(int RigNumber)
{
    m_currentRig = rigFor(RigNumber);
    const std::string status = statusPrefix(RigNumber) + m_currentRig->StatusStr();
    m_face.setText(Control::OmniRig, status);
    const std::string upper = UpperCaseText(status);
    const auto has = [](const std::string &text, const char *phrase) { return text.find(phrase) != std::string::npos; };
    // Each rig's controls answer to their own rig number only: a status for any other rig names Rig2
    // above but switches nothing here.
    const bool ours = RigNumber == 1 || RigNumber == 2;
    const Control led = RigNumber == 1 ? Control::Rig1LED : Control::Rig2LED;
    const Control label = RigNumber == 1 ? Control::Rig1 : Control::Rig2;

    // The server's own phrases, first match first; only the first is compared as the server writes it.
    if (has(status, "Port is not available") || has(upper, "RIG IS NOT RESPONDING")) {
        if (ours)
            m_face.setLedOn(led, false);
    } else if (has(upper, "RIG IS NOT CONFIGURED")) {
        if (ours) {
            m_face.setLedOn(led, false);
            m_face.setVisible(led, false);
            m_face.setVisible(label, false);
        }
    } else if (has(upper, "ON-LINE")) {
        if (ours) {
            m_face.setLedOn(led, true);
            m_face.setVisible(led, true);
            m_face.setVisible(label, true);
            m_face.setText(label, m_currentRig->RigType());
        }
    } else {
        // A state the panel has no phrase for: show the server's words alone, its icon, and catch up.
        m_face.setText(Control::OmniRig, m_currentRig->StatusStr());
        RefreshRigs();
        SetTrayIcon(TrayImage::OmniRig);
        followSelected();
    }
}

void PanelCore::OmniRigParamsChange(int RigNumber, int Params)
{
    m_currentRig = rigFor(RigNumber);
    showOnLine(RigNumber == 1 ? Control::Rig1LED : Control::Rig2LED, *m_currentRig);
    // Fast tracking moves the follower as soon as the leader is heard to move, rather than at the next poll.
    // Only the leader's own changes count: the follower's, which our writes cause, never write, so the two
    // rigs cannot chase each other. Writes that come faster than the follower's radio takes them are
    // coalesced by the rig server: the newest of each kind replaces one still waiting.
    constexpr std::int32_t Tuning = OmniRig::PM_FREQ | OmniRig::PM_FREQA | OmniRig::PM_FREQB | OmniRig::PM_MODES;
    if (m_fastTrack == true && (Params & Tuning) != 0 && m_currentRig == leadingRig())
        followSelected();
}

void PanelCore::showOnLine(Control led, IRigX &rig)
{
    m_face.setLedOn(led, rig.Status() == OmniRig::ST_ONLINE);
}

void PanelCore::OmniRigCustomReply(int)
{
    RefreshRigs();
}

void PanelCore::TimerTick()
{
    if (!m_omniRigClient)
        return;
    // Restarting counts the next 5 s from this tick, however long it takes.
    m_timer.start(PollIntervalMs);
    // Events the server queued meanwhile run first, so the refresh sees what they changed.
    m_face.processPendingEvents();
    RefreshRigs();
}

void PanelCore::colourLed(Control led, IRigX &rig, std::int32_t readable)
{
    const std::int32_t state = rig.Tx();
    if (state == OmniRig::PM_RX && (readable & OmniRig::PM_RX))
        m_face.setLedColour(led, ReceiveColour);
    else if (state == OmniRig::PM_TX && rig.IsParamReadable(OmniRig::PM_TX))
        m_face.setLedColour(led, TransmitColour);
}

void PanelCore::RefreshRigs()
{
    m_face.setText(Control::Rig1, m_omniRigClient->Rig1()->RigType());
    m_face.setText(Control::Rig2, m_omniRigClient->Rig2()->RigType());
    const std::int32_t readable1 = m_omniRigClient->Rig1()->ReadableParams();
    followSelected();
    colourLed(Control::Rig1LED, *m_omniRigClient->Rig1(), readable1);
    IRigX &rig2 = *m_omniRigClient->Rig2();
    colourLed(Control::Rig2LED, rig2, rig2.ReadableParams());
}

IRigX *PanelCore::leadingRig()
{
    if (m_track == PanelSettings::Track::Rig1)
        return m_omniRigClient->Rig1();
    if (m_track == PanelSettings::Track::Rig2)
        return m_omniRigClient->Rig2();
    return nullptr;
}

void PanelCore::followSelected()
{
    if (m_track == PanelSettings::Track::Rig1)
        FollowRig(m_omniRigClient->Rig1(), m_omniRigClient->Rig2());
    else if (m_track == PanelSettings::Track::Rig2)
        FollowRig(m_omniRigClient->Rig2(), m_omniRigClient->Rig1());
}

} // namespace Panel
