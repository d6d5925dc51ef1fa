#include "rigserver/backends/RigctldBackend.h"

#include "rigserver/backends/HamlibErrors.h"
#include "rigserver/rigctld/RigModes.h"

#include <string>

RigctldBackend::RigctldBackend(std::string hostPort, int timeoutMs, RigctldConnection::Resolver resolver)
    : m_hostPort(std::move(hostPort)), m_timeoutMs(timeoutMs), m_connection(std::move(resolver))
{
}

RigResult RigctldBackend::run(std::string_view command, std::string_view name, RigctldReply &reply)
{
    // A failed transaction closed the connection, so that a late reply cannot answer a later command; a
    // command after it (the worker asks again once) goes over a new one.
    if (!m_connection.isConnected()) {
        const RigResult connected = m_connection.connectTo(m_hostPort, m_timeoutMs);
        if (connected != RigResult::Ok)
            return connected;
    }
    const RigResult result = m_connection.transact(command, name, reply, m_timeoutMs);
    if (result != RigResult::Ok)
        return result;
    return rigResultFromHamlibCode(reply.code);
}

RigResult RigctldBackend::open()
{
    RigResult result = m_connection.connectTo(m_hostPort, m_timeoutMs);
    if (result != RigResult::Ok)
        return result;
    RigctldReply reply;
    result = run("\\dump_caps", "dump_caps", reply);
    if (result != RigResult::Ok) {
        m_connection.close();
        // A server that cannot describe its radio is not one we can drive.
        return refusedSoftly(result) ? RigResult::ProtocolError : result;
    }
    const auto text = [&](std::string_view key) { return std::string(reply.value(key).value_or("")); };
    const auto can = [&](std::string_view key) { return RigctldValues::parseYes(reply.value(key).value_or("")); };
    m_caps = RigCaps{};
    // The radio's own model name, as Hamlib's catalogue has it ("IC-7300"); the panel's labels have no room
    // for the maker.
    m_caps.rigType = text("Model name");
    if (m_caps.rigType.empty())
        m_caps.rigType = UnnamedRadio;
    m_caps.canGetFreq = can("Can get Frequency");
    m_caps.canSetFreq = can("Can set Frequency");
    m_caps.canGetMode = can("Can get Mode");
    m_caps.canSetMode = can("Can set Mode");
    m_caps.canGetPtt = can("Can get PTT");
    m_caps.canSetPtt = can("Can set PTT");
    return RigResult::Ok;
}

void RigctldBackend::close()
{
    m_connection.close();
}

RigResult RigctldBackend::getFreq(std::int64_t &hertz)
{
    RigctldReply reply;
    const RigResult result = run("f", "get_freq", reply);
    if (result != RigResult::Ok)
        return result;
    const auto value = RigctldValues::parseFrequency(reply.value("Frequency").value_or(""));
    if (!value)
        return RigResult::ProtocolError;
    hertz = *value;
    return RigResult::Ok;
}

RigResult RigctldBackend::setFreq(std::int64_t hertz)
{
    RigctldReply reply;
    return run("F " + std::to_string(hertz), "set_freq", reply);
}

RigResult RigctldBackend::getMode(std::int32_t &modeFlag)
{
    RigctldReply reply;
    const RigResult result = run("m", "get_mode", reply);
    if (result != RigResult::Ok)
        return result;
    const auto mode = reply.value("Mode");
    if (!mode)
        return RigResult::ProtocolError;
    modeFlag = RigModes::flagFromName(*mode);
    return RigResult::Ok;
}

RigResult RigctldBackend::setMode(std::int32_t modeFlag)
{
    const std::string_view name = RigModes::nameFromFlag(modeFlag);
    if (name.empty())
        return RigResult::Ok;
    RigctldReply reply;
    // Passband -1 keeps the radio's filter as it is.
    return run("M " + std::string(name) + " -1", "set_mode", reply);
}

RigResult RigctldBackend::getPtt(bool &transmitting)
{
    RigctldReply reply;
    const RigResult result = run("t", "get_ptt", reply);
    if (result != RigResult::Ok)
        return result;
    const auto ptt = RigctldValues::parsePtt(reply.value("PTT").value_or(""));
    if (!ptt)
        return RigResult::ProtocolError;
    transmitting = *ptt;
    return RigResult::Ok;
}

RigResult RigctldBackend::setPtt(bool transmit)
{
    RigctldReply reply;
    return run(transmit ? "T 1" : "T 0", "set_ptt", reply);
}
