#include "rigserver/rigctld/RigctldResponder.h"

#include "omnirig/OmniRig_TLB.h"
#include "rigserver/rigctld/RigModes.h"
#include "rigserver/rigctld/RigctldProtocol.h"

#include <array>
#include <charconv>
#include <string_view>
#include <utility>
#include <vector>

namespace RigctldResponder {
namespace {

struct Record {
    std::string_view key;
    std::string value;
};

// The usual passband of each mode the rig object knows, in hertz, by OmniRig flag.
constexpr std::array<std::pair<std::int32_t, int>, 8> passbands = {{
    {OmniRig::PM_CW_U, 500},
    {OmniRig::PM_CW_L, 500},
    {OmniRig::PM_SSB_U, 2400},
    {OmniRig::PM_SSB_L, 2400},
    {OmniRig::PM_DIG_U, 2400},
    {OmniRig::PM_DIG_L, 2400},
    {OmniRig::PM_AM, 6000},
    {OmniRig::PM_FM, 15000},
}};

int passbandOf(std::int32_t mode)
{
    for (const auto &[flag, hertz] : passbands)
        if (flag == mode)
            return hertz;
    return 0;
}

// Hamlib's VFO names (rig_parse_vfo); the first six mean "the one the radio is on", the only one the rig
// object reads and writes.
constexpr std::array<std::string_view, 17> vfoNames = {"VFOA",  "currVFO", "VFO", "Main", "MainA", "RX",
                                                       "VFOB",  "VFOC",    "Sub", "SubA", "SubB",  "SubC",
                                                       "MainB", "MainC",   "MEM", "TX",   "None"};
constexpr std::size_t CurrentVfoNames = 6;

std::optional<bool> isCurrentVfo(std::string_view name)
{
    for (std::size_t i = 0; i < vfoNames.size(); ++i)
        if (vfoNames[i] == name)
            return i < CurrentVfoNames;
    return std::nullopt;
}

std::optional<std::int64_t> parseInteger(std::string_view text)
{
    std::int64_t value = 0;
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// One reply in the format the command asked for. Plain: the values one per line, or "RPRT n" for a write or
// a failure. Extended: the echo of the command, then "Key: value" records, then "RPRT n".
std::string reply(const RigctldCommand &command, const std::vector<Record> &records, int code)
{
    std::string text;
    if (!command.extended()) {
        if (code != 0 || records.empty())
            return "RPRT " + std::to_string(code) + "\n";
        for (const Record &record : records)
            text += record.value + "\n";
        return text;
    }
    const char separator = command.separator;
    text = command.name + ":";
    for (const std::string &arg : command.args)
        text += " " + arg;
    text += separator;
    if (code == 0) {
        for (const Record &record : records) {
            text.append(record.key);
            text += ": " + record.value + separator;
        }
    }
    return text + "RPRT " + std::to_string(code) + "\n";
}

// A block of lines (dump_state, dump_caps), as it stands in the plain protocol and inside an extended reply.
std::string textReply(const RigctldCommand &command, const std::string &lines)
{
    if (!command.extended())
        return lines;
    return command.name + ":" + command.separator + lines + "RPRT 0\n";
}

std::string hex(std::uint64_t value)
{
    std::array<char, 20> digits{};
    const auto [end, ec] = std::to_chars(digits.data(), digits.data() + digits.size(), value, 16);
    return "0x" + std::string(digits.data(), end);
}

// Hamlib's mode bits (RIG_MODE_*) of the modes the rig object can read and write.
constexpr std::uint64_t ModeAM = 1ull << 0, ModeCW = 1ull << 1, ModeUSB = 1ull << 2, ModeLSB = 1ull << 3,
                        ModeFM = 1ull << 5, ModeCWR = 1ull << 7, ModePKTLSB = 1ull << 10, ModePKTUSB = 1ull << 11;
constexpr std::uint64_t SharedModes = ModeAM | ModeCW | ModeUSB | ModeLSB | ModeFM | ModeCWR | ModePKTLSB | ModePKTUSB;
constexpr std::uint64_t VfoA = 1; // RIG_VFO_A

// The rig's state description as Hamlib's network client reads it on rig_open, line by line: protocol
// version 1, the model, the ITU region, receive and transmit ranges, tuning steps and filters (each list
// ended by zeros), RIT, XIT, IF shift, announcements, preamplifiers, attenuators, the function, level and
// parameter masks, then "name=value" lines up to "done". Each line stays far below the client's buffer.
// The masks say the rig has no functions, levels or parameters; VFO and frequency calls are kept on, since
// the client would otherwise clear them in the capabilities that all its model 2 handles share.
std::string dumpState(const SharedRig &rig)
{
    const std::string range = "1.000000 1000000000000.000000 " + hex(SharedModes) + " -1 -1 " + hex(VfoA) + " 0\n";
    std::string text = "1\n" + std::to_string(rig.model) + "\n0\n";
    text += range + "0 0 0 0 0 0 0\n";
    text += range + "0 0 0 0 0 0 0\n";
    text += hex(SharedModes) + " 1\n0 0\n";
    text += hex(ModeCW | ModeCWR) + " 500\n";
    text += hex(ModeUSB | ModeLSB | ModePKTUSB | ModePKTLSB) + " 2400\n";
    text += hex(ModeAM) + " 6000\n";
    text += hex(ModeFM) + " 15000\n0 0\n";
    text += "0\n0\n0\n0\n\n\n";
    text += "0x0\n0x0\n0x0\n0x0\n0x0\n0x0\n";
    text += "vfo_ops=0x0\nptt_type=0x1\ntargetable_vfo=0x0\n";
    text += "has_set_vfo=1\nhas_get_vfo=1\nhas_set_freq=1\nhas_get_freq=1\n";
    text += "rig_model=" + std::to_string(rig.model) + "\nrigctld_version=VELKOR rig share\ndone\n";
    return text;
}

// What the rig can do, in dump_caps' "Name:<tab>value" lines; our own rigctld client opens a radio with it.
// PTT is not offered once the rig is on line and does not report it, or cannot be keyed.
std::string dumpCaps(const SharedRig &rig)
{
    const bool pttKnown = rig.status != OmniRig::ST_ONLINE || (rig.readable & OmniRig::PM_TX) != 0;
    const bool pttWritable = rig.status != OmniRig::ST_ONLINE || rig.txWritable;
    std::string text = "Caps dump for model: " + std::to_string(rig.model) + "\n";
    text += "Model name:\t" + rig.rigType + "\n";
    text += "Mfg name:\t\n";
    text += "Backend version:\tVELKOR rig share\n";
    text += "Rig type:\tOther\nPTT type:\tRig capable\nPort type:\tNetwork link\n";
    text += "Mode list: AM CW USB LSB FM CWR PKTLSB PKTUSB\nVFO list: VFOA\n";
    text += "Can set Frequency:\tY\nCan get Frequency:\tY\n";
    text += "Can set Mode:\tY\nCan get Mode:\tY\n";
    text += "Can set VFO:\tY\nCan get VFO:\tY\n";
    text +=
        std::string("Can set PTT:\t") + (pttWritable ? "Y" : "N") + "\nCan get PTT:\t" + (pttKnown ? "Y" : "N") + "\n";
    text += "Can set Split VFO:\tN\nCan get Split VFO:\tN\n";
    return text;
}

RigctldAnswer now(std::string text)
{
    return RigctldAnswer{std::move(text), std::nullopt, false};
}

RigctldAnswer fail(const RigctldCommand &command, int code)
{
    return now(reply(command, {}, code));
}

RigctldAnswer readFreq(const RigctldCommand &command, const SharedRig &rig)
{
    if ((rig.readable & OmniRig::PM_FREQ) == 0)
        return fail(command, NotAvailable);
    return now(reply(command, {{"Frequency", std::to_string(rig.freq)}}, 0));
}

RigctldAnswer readMode(const RigctldCommand &command, const SharedRig &rig)
{
    if ((rig.readable & OmniRig::PM_MODES) == 0)
        return fail(command, NotAvailable);
    // A mode without an OmniRig flag reads as Hamlib's "no mode", an empty name.
    return now(reply(
        command,
        {{"Mode", std::string(RigModes::nameFromFlag(rig.mode))}, {"Passband", std::to_string(passbandOf(rig.mode))}},
        0));
}

RigctldAnswer readPtt(const RigctldCommand &command, const SharedRig &rig)
{
    if (rig.tx == 0)
        return fail(command, NotAvailable);
    return now(reply(command, {{"PTT", rig.tx == OmniRig::PM_TX ? "1" : "0"}}, 0));
}

RigctldAnswer writeFreq(const RigctldCommand &command)
{
    const auto hertz = command.args.size() == 1 ? RigctldValues::parseFrequency(command.args[0]) : std::nullopt;
    if (!hertz || *hertz <= 0)
        return fail(command, InvalidParameter);
    return RigctldAnswer{{}, SharedWrite{SharedWrite::Freq, *hertz}, false};
}

RigctldAnswer writeMode(const RigctldCommand &command)
{
    if (command.args.empty() || command.args.size() > 2 || (command.args.size() == 2 && !parseInteger(command.args[1])))
        return fail(command, InvalidParameter);
    const std::int32_t flag = RigModes::flagFromName(command.args[0]);
    if (flag == 0)
        return fail(command, NotAvailable);
    return RigctldAnswer{{}, SharedWrite{SharedWrite::Mode, flag}, false};
}

RigctldAnswer writePtt(const RigctldCommand &command, const SharedRig &rig)
{
    const auto ptt = command.args.size() == 1 ? parseInteger(command.args[0]) : std::nullopt;
    if (!ptt || *ptt < 0 || *ptt > 3)
        return fail(command, InvalidParameter);
    // Mic and data PTT (2, 3) key the radio as plain PTT does: the rig knows one transmit state.
    if (rig.txWritable)
        return RigctldAnswer{{}, SharedWrite{SharedWrite::Ptt, *ptt != 0 ? 1 : 0}, false};
    // A radio that cannot be keyed: asking it to receive while it receives is no change.
    return fail(command, *ptt == 0 && rig.tx == OmniRig::PM_RX ? 0 : NotAvailable);
}

} // namespace

int statusError(std::int32_t status)
{
    if (status == OmniRig::ST_ONLINE)
        return 0;
    return status == OmniRig::ST_NOTRESPONDING ? TimedOut : IoError;
}

std::string errorReply(int code)
{
    return "RPRT " + std::to_string(code) + "\n";
}

std::string writeReply(const RigctldCommand &command, int code)
{
    return reply(command, {}, code);
}

RigctldAnswer selectVfo(const RigctldCommand &command, RigctldSession &session)
{
    const std::optional<bool> current = command.args.size() == 1 ? isCurrentVfo(command.args[0]) : std::nullopt;
    if (!current)
        return fail(command, InvalidParameter);
    session.onOtherVfo = !*current;
    session.vfo = *current ? "VFOA" : command.args[0];
    return fail(command, 0);
}

RigctldAnswer answer(const RigctldCommand &command, const SharedRig &rig, RigctldSession &session)
{
    if (!command.known)
        return now(errorReply(NotAvailable));
    const std::string &name = command.name;
    if (name == "quit")
        return RigctldAnswer{reply(command, {}, 0), std::nullopt, true};
    if (command.tooManyArgs)
        return fail(command, InvalidParameter);
    if (name == "dump_state")
        return now(textReply(command, dumpState(rig)));
    if (name == "dump_caps")
        return now(textReply(command, dumpCaps(rig)));
    if (name == "chk_vfo")
        return now(reply(command, {{"ChkVFO", "0"}}, 0));
    if (name == "get_lock_mode")
        return now(reply(command, {{"Locked", "0"}}, 0));
    if (name == "get_split_vfo" || name == "set_split_vfo")
        return fail(command, NotAvailable);

    const bool isSet = name.starts_with("set_");
    if (!isSet && !command.args.empty())
        return fail(command, InvalidParameter);
    if (const int error = statusError(rig.status); error != 0)
        return fail(command, error);
    if (name == "set_vfo")
        return selectVfo(command, session);
    if (name == "get_vfo")
        return now(reply(command, {{"VFO", session.vfo}}, 0));
    if (session.onOtherVfo && (name == "get_freq" || name == "set_freq" || name == "get_mode" || name == "set_mode"))
        return fail(command, NotAvailable);

    if (name == "get_freq")
        return readFreq(command, rig);
    if (name == "set_freq")
        return writeFreq(command);
    if (name == "get_mode")
        return readMode(command, rig);
    if (name == "set_mode")
        return writeMode(command);
    if (name == "get_ptt")
        return readPtt(command, rig);
    if (name == "set_ptt")
        return writePtt(command, rig);
    // get_powerstat: a radio on line is switched on.
    return now(reply(command, {{"Power Status", "1"}}, 0));
}

} // namespace RigctldResponder
