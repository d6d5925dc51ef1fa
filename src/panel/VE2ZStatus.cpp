// Rig status monitoring: the rig server's five events, the poll, and the refresh that several share.
#include "VE2Z.h"

#include "AMAdvLed.h"
#include "HexStr.h"
#include "PanelArtwork.h"
#include "SpeedButton.h"
#include "TOmniRigX.h"

#include <QCoreApplication>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include <array>

namespace {

constexpr TAMAdvLed::TColor ReceiveColour = 0x00FF00;
constexpr TAMAdvLed::TColor TransmitColour = 0x0000FF;

QString statusPrefix(int rigNumber)
{
    return QStringLiteral("[%1] ").arg(rigNumber);
}

QString text(const std::string &value)
{
    return QString::fromStdString(value);
}

} // namespace

IRigX *TSO2VPanel::rigFor(int rigNumber)
{
    return rigNumber == 1 ? m_omniRigClient->Rig1() : m_omniRigClient->Rig2();
}

void TSO2VPanel::OmniRigVisibleChange()
{
    const bool visible = m_omniRigClient->DialogVisible();
    m_omniRigLabel->setText(visible ? QStringLiteral("OmniRig Visible") : QString());
    // While the server's own dialog is up, a transfer would act on settings the operator is changing.
    const std::array<QWidget *, 3> buttons{m_swap, m_a2b, m_b2a};
    for (QWidget *button : buttons)
        button->setEnabled(!visible);
    for (QWidget *button : buttons)
        button->setVisible(!visible);
}

void TSO2VPanel::OmniRigRigTypeChange(int RigNumber)
{
    m_currentRig = rigFor(RigNumber);
    (RigNumber == 1 ? m_rig1Label : m_rig2Label)->setText(text(m_currentRig->RigType()));
    m_omniRigLabel->setText(statusPrefix(RigNumber) + text(m_currentRig->RigType()));
    RefreshRigs();
}

void TSO2VPanel::OmniRigStatusChange(int RigNumber)
{
    m_currentRig = rigFor(RigNumber);
    const QString status = statusPrefix(RigNumber) + text(m_currentRig->StatusStr());
    m_omniRigLabel->setText(status);
    const QString upper = UpperCaseText(status);
    // Each rig's controls answer to their own rig number only: a status for any other rig names Rig2
    // above but switches nothing here.
    TAMAdvLed *led = RigNumber == 1 ? m_rig1Led : RigNumber == 2 ? m_rig2Led : nullptr;
    QLabel *label = RigNumber == 1 ? m_rig1Label : RigNumber == 2 ? m_rig2Label : nullptr;

    // The server's own phrases, first match first; only the first is compared as the server writes it.
    if (status.contains(QStringLiteral("Port is not available"))) {
        if (led)
            led->setLedOn(false);
    } else if (upper.contains(QStringLiteral("RIG IS NOT RESPONDING"))) {
        if (led)
            led->setLedOn(false);
    } else if (upper.contains(QStringLiteral("RIG IS NOT CONFIGURED"))) {
        if (led) {
            led->setLedOn(false);
            led->hide();
            label->hide();
        }
    } else if (upper.contains(QStringLiteral("ON-LINE"))) {
        if (led) {
            led->setLedOn(true);
            led->show();
            label->show();
            label->setText(text(m_currentRig->RigType()));
        }
    } else {
        // A state the panel has no phrase for: show the server's words alone, its icon, and catch up.
        m_omniRigLabel->setText(text(m_currentRig->StatusStr()));
        RefreshRigs();
        SetTrayIcon(PanelArtwork::omniRigIcon());
        followSelected();
    }
}

void TSO2VPanel::OmniRigParamsChange(int RigNumber, int)
{
    m_currentRig = rigFor(RigNumber);
    (RigNumber == 1 ? m_rig1Led : m_rig2Led)->setLedOn(m_currentRig->Status() == OmniRig::ST_ONLINE);
}

void TSO2VPanel::OmniRigCustomReply(int, const QVariant &, const QVariant &)
{
    RefreshRigs();
}

void TSO2VPanel::TimerTick()
{
    if (!m_omniRigClient)
        return;
    // Restarting counts the next 5 s from this tick, however long it takes.
    m_pollTimer->start(PollIntervalMs);
    // Events the server queued meanwhile run first, so the refresh sees what they changed.
    QCoreApplication::processEvents();
    RefreshRigs();
}

void TSO2VPanel::colourLed(TAMAdvLed *led, IRigX &rig, std::int32_t readable)
{
    const std::int32_t state = rig.Tx();
    if (state == OmniRig::PM_RX && (readable & OmniRig::PM_RX))
        led->setColorOn(ReceiveColour);
    else if (state == OmniRig::PM_TX && rig.IsParamReadable(OmniRig::PM_TX))
        led->setColorOn(TransmitColour);
}

void TSO2VPanel::RefreshRigs()
{
    m_rig1Label->setText(text(m_omniRigClient->Rig1()->RigType()));
    m_rig2Label->setText(text(m_omniRigClient->Rig2()->RigType()));
    const std::int32_t readable1 = m_omniRigClient->Rig1()->ReadableParams();
    followSelected();
    colourLed(m_rig1Led, *m_omniRigClient->Rig1(), readable1);
    IRigX &rig2 = *m_omniRigClient->Rig2();
    colourLed(m_rig2Led, rig2, rig2.ReadableParams());
}

void TSO2VPanel::followSelected()
{
    if (m_trackRig1->isChecked())
        FollowRig(m_omniRigClient->Rig1(), m_omniRigClient->Rig2());
    else if (m_trackRig2->isChecked())
        FollowRig(m_omniRigClient->Rig2(), m_omniRigClient->Rig1());
}
