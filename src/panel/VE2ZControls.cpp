// Transfer and tracking, the offset slider, the RIT switch and offset calibration.
#include "VE2Z.h"

#include "ClickLabel.h"
#include "RigTransfer.h"
#include "TOmniRigX.h"
#include "TrackBar.h"

#include <QCheckBox>
#include <QRadioButton>

#include <algorithm>
#include <cstdint>

namespace {

using PanelSettings::CentrePosition;

QString offsetLabel(QChar sign, int hertz)
{
    return sign + QString::number(hertz) + QStringLiteral(" Hz");
}

// The slider position for a measured difference Rig2 - Rig1; the slider stops at its ends. Unsigned
// arithmetic gives the exact distance for any two 64-bit frequencies.
int positionFor(std::int64_t rig1, std::int64_t rig2)
{
    constexpr std::uint64_t Span = PanelSettings::MaxPosition - CentrePosition;
    if (rig2 >= rig1) {
        const std::uint64_t up = std::uint64_t(rig2) - std::uint64_t(rig1);
        return CentrePosition + static_cast<int>(std::min(up, Span));
    }
    const std::uint64_t down = std::uint64_t(rig1) - std::uint64_t(rig2);
    return CentrePosition - static_cast<int>(std::min(down, Span));
}

} // namespace

int TSO2VPanel::currentOffset() const
{
    return m_rit->isChecked() ? m_shift->sliderPosition() - CentrePosition : 0;
}

void TSO2VPanel::A2BClick()
{
    if (m_omniRigClient)
        RigTransfer::copyAToB(*m_omniRigClient->DefaultInterface(), currentOffset());
}

void TSO2VPanel::B2AClick()
{
    if (m_omniRigClient)
        RigTransfer::copyBToA(*m_omniRigClient->DefaultInterface(), currentOffset());
}

void TSO2VPanel::SWAPClick()
{
    if (m_omniRigClient)
        RigTransfer::swap(*m_omniRigClient->DefaultInterface(), currentOffset());
}

void TSO2VPanel::FollowRig(IRigX *master, IRigX *follower)
{
    if (m_omniRigClient)
        RigTransfer::follow(*m_omniRigClient->DefaultInterface(), master, follower, currentOffset());
}

void TSO2VPanel::selectTrack(QRadioButton *button)
{
    m_guard.fromCode([button] { button->setChecked(true); });
}

void TSO2VPanel::TrackNoneClick()
{
    selectTrack(m_trackNone);
    SaveSettings();
}

void TSO2VPanel::TrackRig1Click()
{
    selectTrack(m_trackRig1);
    SaveSettings();
}

void TSO2VPanel::TrackRig2Click()
{
    selectTrack(m_trackRig2);
    SaveSettings();
}

void TSO2VPanel::ShiftChange()
{
    const int position = m_shift->sliderPosition();
    if (position < PanelSettings::MinPosition || position > PanelSettings::MaxPosition)
        return;
    if (position > CentrePosition) {
        m_shift->setSelStart(CentrePosition);
        m_shift->setSelEnd(position);
        m_shiftHz->setText(offsetLabel(u'+', position - CentrePosition));
    } else {
        m_shift->setSelEnd(CentrePosition);
        m_shift->setSelStart(position);
        m_shiftHz->setText(offsetLabel(u'-', CentrePosition - position));
    }
    SaveSettings();
}

void TSO2VPanel::ShiftHZClick()
{
    m_shift->setSelEnd(CentrePosition);
    m_shift->setSelStart(CentrePosition);
    m_guard.fromCode([this] { m_shift->setValue(CentrePosition); });
    m_shiftHz->setText(offsetLabel(u'+', CentrePosition - m_shift->sliderPosition()));
    SaveSettings();
}

void TSO2VPanel::RITClick()
{
    const bool on = m_rit->isChecked();
    m_shift->setVisible(on);
    m_shift->setEnabled(on);
    m_shiftHz->setVisible(on);
    m_shiftHz->setEnabled(on);
    SaveSettings();
}

void TSO2VPanel::OffsetCaliber()
{
    if (!m_omniRigClient)
        return;
    const std::int64_t rig2 = m_omniRigClient->Rig2()->Freq();
    const std::int64_t rig1 = m_omniRigClient->Rig1()->Freq();
    m_guard.fromCode([&] { m_shift->setValue(positionFor(rig1, rig2)); });
    m_guard.fromCode([this] { m_rit->setChecked(true); });
    ShiftChange();
    RITClick();
}
