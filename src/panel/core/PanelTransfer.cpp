// Transfer and tracking, the offset slider, the RIT switch and offset calibration.
#include "panel/core/PanelCore.h"

#include "omnirig/TOmniRigX.h"
#include "panel/core/RigTransfer.h"

#include <algorithm>
#include <cstdint>

namespace Panel {
namespace {

using PanelSettings::CentrePosition;
using PanelSettings::MaxPosition;
using PanelSettings::MinPosition;

// The slider position for a measured difference Rig2 - Rig1; the slider stops at its ends. Unsigned
// arithmetic gives the exact distance for any two 64-bit frequencies.
int positionFor(std::int64_t rig1, std::int64_t rig2)
{
    constexpr std::uint64_t Span = MaxPosition - CentrePosition;
    if (rig2 >= rig1) {
        const std::uint64_t up = std::uint64_t(rig2) - std::uint64_t(rig1);
        return CentrePosition + static_cast<int>(std::min(up, Span));
    }
    const std::uint64_t down = std::uint64_t(rig1) - std::uint64_t(rig2);
    return CentrePosition - static_cast<int>(std::min(down, Span));
}

} // namespace

int PanelCore::currentOffset() const
{
    return m_rit ? m_position - CentrePosition : 0;
}

void PanelCore::A2BClick()
{
    if (m_omniRigClient)
        RigTransfer::copyAToB(*m_omniRigClient->DefaultInterface(), currentOffset());
}

void PanelCore::B2AClick()
{
    if (m_omniRigClient)
        RigTransfer::copyBToA(*m_omniRigClient->DefaultInterface(), currentOffset());
}

void PanelCore::SWAPClick()
{
    if (m_omniRigClient)
        RigTransfer::swap(*m_omniRigClient->DefaultInterface(), currentOffset());
}

void PanelCore::FollowRig(IRigX *master, IRigX *follower)
{
    if (m_omniRigClient)
        RigTransfer::follow(*m_omniRigClient->DefaultInterface(), master, follower, currentOffset());
}

void PanelCore::selectTrack(PanelSettings::Track track)
{
    if (m_track == track)
        return;
    m_track = track;
    m_face.setChecked(track == PanelSettings::Track::Rig1   ? Control::TrackRig1
                      : track == PanelSettings::Track::Rig2 ? Control::TrackRig2
                                                            : Control::TrackNone,
                      true);
    // A tracking button runs its handler when it becomes selected.
    switch (track) {
    case PanelSettings::Track::None:
        return TrackNoneClick();
    case PanelSettings::Track::Rig1:
        return TrackRig1Click();
    case PanelSettings::Track::Rig2:
        return TrackRig2Click();
    }
}

void PanelCore::TrackNoneClick()
{
    selectTrack(PanelSettings::Track::None);
    SaveSettings();
}

void PanelCore::TrackRig1Click()
{
    selectTrack(PanelSettings::Track::Rig1);
    SaveSettings();
}

void PanelCore::TrackRig2Click()
{
    selectTrack(PanelSettings::Track::Rig2);
    SaveSettings();
}

void PanelCore::setShiftPosition(int position)
{
    position = std::clamp(position, MinPosition, MaxPosition);
    if (position == m_position)
        return;
    m_position = position;
    m_face.setShiftPosition(position);
    ShiftChange();
}

void PanelCore::setRit(bool checked)
{
    if (checked == m_rit)
        return;
    m_rit = checked;
    m_face.setChecked(Control::RIT, checked);
    RITClick();
}

void PanelCore::showShiftLabel(char sign, int hertz)
{
    m_face.setText(Control::ShiftHZ, sign + std::to_string(hertz) + " Hz");
}

void PanelCore::ShiftChange()
{
    const int position = m_position;
    if (position < MinPosition || position > MaxPosition)
        return;
    if (position > CentrePosition) {
        m_face.setShiftSelection(CentrePosition, position);
        showShiftLabel('+', position - CentrePosition);
    } else {
        m_face.setShiftSelection(position, CentrePosition);
        showShiftLabel('-', CentrePosition - position);
    }
    SaveSettings();
}

void PanelCore::ShiftHZClick()
{
    m_face.setShiftSelection(CentrePosition, CentrePosition);
    setShiftPosition(CentrePosition);
    showShiftLabel('+', CentrePosition - m_position);
    SaveSettings();
}

void PanelCore::RITClick()
{
    for (const Control control : {Control::Shift, Control::ShiftHZ}) {
        m_face.setVisible(control, m_rit);
        m_face.setEnabled(control, m_rit);
    }
    SaveSettings();
}

void PanelCore::OffsetCaliber()
{
    if (!m_omniRigClient)
        return;
    const std::int64_t rig2 = m_omniRigClient->Rig2()->Freq();
    const std::int64_t rig1 = m_omniRigClient->Rig1()->Freq();
    setShiftPosition(positionFor(rig1, rig2));
    setRit(true);
    ShiftChange();
    RITClick();
}

} // namespace Panel
