#include "rigserver/core/RigKeyer.h"

#include "rigserver/core/RigServerLog.h"

RigResult RigKeyer::key(bool transmit)
{
    const bool wasKeyed = m_keyed;
    if (transmit && !m_link.unlessCut([this] { m_keyed = true; }))
        return RigResult::PortError;
    const RigResult result = m_link.call([transmit](RigBackend &radio) { return radio.setPtt(transmit); });
    if (result == RigResult::Ok)
        m_keyed = transmit;
    else if (refusedSoftly(result))
        m_keyed = wasKeyed;
    return result;
}

void RigKeyer::askedWhileAway(bool transmit)
{
    m_unkeyWhenBack = !transmit && m_keyed;
}

RigResult RigKeyer::unkeyAskedWhileAway()
{
    if (!m_unkeyWhenBack)
        return RigResult::Ok;
    m_unkeyWhenBack = false;
    return key(false);
}

void RigKeyer::letGo()
{
    // Nobody would unkey the radio after us.
    if (m_keyed && m_link.isOpen() &&
        m_link.call([](RigBackend &radio) { return radio.setPtt(false); }, false) != RigResult::Ok)
        qCWarning(lcRigServer) << "could not unkey the radio before letting go of it";
    m_keyed = false;
    m_unkeyWhenBack = false;
}
