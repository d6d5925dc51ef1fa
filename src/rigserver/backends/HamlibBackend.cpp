#include "rigserver/backends/HamlibBackend.h"

#include "rigserver/backends/HamlibErrors.h"
#include "rigserver/backends/HamlibModels.h"
#include "rigserver/rigctld/RigModes.h"

#include <hamlib/rig.h>

#include <cmath>

#include <sys/stat.h>

HamlibBackend::HamlibBackend(RigSettings settings) : m_settings(std::move(settings))
{
}

HamlibBackend::~HamlibBackend()
{
    close();
}

template <typename Call> RigResult HamlibBackend::call(Call hamlibCall)
{
    const CallInterrupter::Scope scope(m_interrupter);
    if (!scope.proceed())
        return RigResult::PortError;
    ++m_commands;
    return rigResultFromHamlibCode(hamlibCall());
}

void HamlibBackend::watchPort(bool opened)
{
    // Before rig_open the port is known by its path (a serial device); after it, by what Hamlib opened,
    // which also covers a network port. A port known neither way is still interrupted, just not cut off.
    struct stat status {};
    const int descriptor = m_rig->get()->state.rigport.fd;
    const bool known = opened ? descriptor >= 0 && ::fstat(descriptor, &status) == 0
                              : !m_settings.port.empty() && ::stat(m_settings.port.c_str(), &status) == 0;
    if (known)
        m_interrupter.watch(&m_rig->get()->state.rigport.fd, status.st_dev, status.st_ino);
    else
        m_interrupter.forget();
}

RigResult HamlibBackend::open()
{
    close();
    m_rig = std::make_unique<HamlibRig>(m_settings.model);
    if (m_rig->null()) {
        m_rig.reset();
        return RigResult::PortError;
    }
    RIG *rig = m_rig->get();

    const auto setConf = [rig](const char *name, const std::string &value) {
        const token_t token = rig_token_lookup(rig, name);
        if (token != RIG_CONF_END)
            rig_set_conf(rig, token, value.c_str());
    };
    if (!m_settings.port.empty())
        setConf("rig_pathname", m_settings.port);
    if (m_settings.speed > 0)
        setConf("serial_speed", std::to_string(m_settings.speed));
    setConf("timeout", std::to_string(m_settings.timeoutMs));
    setConf("retry", "0");
    for (const auto &[name, value] : m_settings.confPairs())
        setConf(name.c_str(), value);
    rig_set_cache_timeout_ms(rig, HAMLIB_CACHE_ALL, 0);

    watchPort(false);
    RigResult result = call([this] { return m_rig->open(); });
    // Some back ends report success although every command failed once they were cut off.
    if (m_interrupter.interrupted())
        result = RigResult::PortError;
    if (result != RigResult::Ok) {
        close();
        // A radio that cannot be opened is a port problem unless it simply did not answer.
        return result == RigResult::Timeout ? RigResult::Timeout : RigResult::PortError;
    }
    watchPort(true);
    const rig_caps *caps = rig->caps;
    m_caps = RigCaps{};
    m_caps.rigType = HamlibModels::shortName(m_settings.model);
    m_caps.canGetFreq = caps->get_freq != nullptr;
    m_caps.canSetFreq = caps->set_freq != nullptr;
    m_caps.canGetMode = caps->get_mode != nullptr;
    m_caps.canSetMode = caps->set_mode != nullptr;
    m_caps.canGetPtt = caps->get_ptt != nullptr || rig->state.pttport.type.ptt != RIG_PTT_NONE;
    // Hamlib keys a radio by the PTT type it was set up with (ptt_type): through the radio's own command,
    // which the model must have, or through a line of a port. Without a type it keys nothing.
    const ptt_type_t pttType = rig->state.pttport.type.ptt;
    m_caps.canSetPtt =
        pttType == RIG_PTT_RIG || pttType == RIG_PTT_RIG_MICDATA ? caps->set_ptt != nullptr : pttType != RIG_PTT_NONE;
    return RigResult::Ok;
}

void HamlibBackend::close()
{
    if (!m_rig)
        return;
    {
        // Closing may still talk to the radio; it runs even after abort(), to free what Hamlib holds.
        const CallInterrupter::Scope scope(m_interrupter, true);
        m_rig->close();
    }
    m_interrupter.forget();
    m_rig.reset();
}

RigResult HamlibBackend::getFreq(std::int64_t &hertz)
{
    freq_t value = 0;
    const RigResult result = call([&] { return rig_get_freq(m_rig->get(), RIG_VFO_CURR, &value); });
    if (result != RigResult::Ok)
        return result;
    if (!std::isfinite(value) || value < 0 || value > 1e12)
        return RigResult::ProtocolError;
    hertz = std::llround(value);
    return RigResult::Ok;
}

RigResult HamlibBackend::setFreq(std::int64_t hertz)
{
    return call([&] { return rig_set_freq(m_rig->get(), RIG_VFO_CURR, static_cast<freq_t>(hertz)); });
}

RigResult HamlibBackend::getMode(std::int32_t &modeFlag)
{
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    const RigResult result = call([&] { return rig_get_mode(m_rig->get(), RIG_VFO_CURR, &mode, &width); });
    if (result != RigResult::Ok)
        return result;
    modeFlag = RigModes::flagFromName(rig_strrmode(mode));
    return RigResult::Ok;
}

RigResult HamlibBackend::setMode(std::int32_t modeFlag)
{
    const std::string name(RigModes::nameFromFlag(modeFlag));
    if (name.empty())
        return RigResult::Ok;
    const rmode_t mode = rig_parse_mode(name.c_str());
    return call([&] { return rig_set_mode(m_rig->get(), RIG_VFO_CURR, mode, RIG_PASSBAND_NOCHANGE); });
}

RigResult HamlibBackend::getPtt(bool &transmitting)
{
    ptt_t ptt = RIG_PTT_OFF;
    const RigResult result = call([&] { return rig_get_ptt(m_rig->get(), RIG_VFO_CURR, &ptt); });
    if (result == RigResult::Ok)
        transmitting = ptt != RIG_PTT_OFF;
    return result;
}

RigResult HamlibBackend::setPtt(bool transmit)
{
    return call([&] { return rig_set_ptt(m_rig->get(), RIG_VFO_CURR, transmit ? RIG_PTT_ON : RIG_PTT_OFF); });
}
