// Which control has the keyboard focus: the window opens on the first tab stop that is shown (the slider, or
// RIT while the slider is hidden with RIT off) and, activated again, goes back to the control it was left on.
#include "panel/core/PanelCore.h"
#include "panel/core/PanelLayout.h"

namespace Panel {

bool PanelCore::takesFocus(Control control) const
{
    if (!layoutOf(control).tabStop)
        return false;
    // RIT off hides the slider.
    return control != Control::Shift || m_rit;
}

void PanelCore::windowActivated()
{
    if (m_focus && takesFocus(*m_focus))
        return m_face.setFocus(*m_focus);
    for (const ControlLayout &control : Controls)
        if (takesFocus(control.control))
            return m_face.setFocus(control.control);
}

void PanelCore::windowDeactivated(std::optional<Control> focused)
{
    if (focused && takesFocus(*focused))
        m_focus = focused;
}

} // namespace Panel
