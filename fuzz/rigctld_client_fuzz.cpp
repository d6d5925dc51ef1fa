// libFuzzer target: whatever a program connected to a shared rig sends, the serving side neither crashes
// nor reads out of bounds, answers every command with a whole reply, and asks the rig for a write only
// when the radio is on line and the value is one the rig object can take.
// The first four bytes set up the rig as the share sees it (status, what it reports, its transmit state,
// whether it can be keyed); the rest is the program's bytes, cut into lines as the connection cuts them.
#include "omnirig/OmniRig_TLB.h"
#include "rigserver/rigctld/RigctldCommand.h"
#include "rigserver/rigctld/RigctldResponder.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::size_t MaxLine = 1024; // as a connection allows

void check(bool condition)
{
    if (!condition)
        std::abort();
}

SharedRig rigFrom(const std::uint8_t *data)
{
    SharedRig rig;
    rig.status = data[0] % 5;
    rig.readable = (data[1] & 1 ? OmniRig::PM_FREQ : 0) | (data[1] & 2 ? OmniRig::PM_SSB_U | OmniRig::PM_CW_U : 0) |
                   (data[1] & 4 ? OmniRig::PM_TX | OmniRig::PM_RX : 0);
    rig.tx = data[2] % 3 == 0 ? 0 : data[2] % 3 == 1 ? OmniRig::PM_RX : OmniRig::PM_TX;
    rig.txWritable = (data[3] & 1) != 0;
    rig.freq = 14074000 + data[2];
    rig.mode = data[1] & 8 ? OmniRig::PM_SSB_U : 0;
    rig.rigType = "Hamlib Dummy";
    rig.model = 1;
    return rig;
}

void checkReply(const std::string &reply)
{
    check(!reply.empty() && reply.back() == '\n');
}

void serve(std::string_view line, const SharedRig &rig, RigctldSession &session)
{
    const std::optional<RigctldCommand> command = RigctldCommand::parse(line);
    if (!command)
        return;
    check(command->args.size() <= RigctldCommand::MaxArgs);
    const RigctldAnswer answer = RigctldResponder::answer(*command, rig, session);
    if (!answer.write) {
        checkReply(answer.reply);
        return;
    }
    check(answer.reply.empty());
    const SharedWrite &write = *answer.write;
    switch (write.kind) {
    case SharedWrite::Freq:
        check(rig.status == OmniRig::ST_ONLINE && !session.onOtherVfo && write.value > 0);
        break;
    case SharedWrite::Mode:
        check(rig.status == OmniRig::ST_ONLINE && !session.onOtherVfo && (write.value & OmniRig::PM_MODES) != 0);
        break;
    default:
        check(rig.txWritable && (write.value == 0 || (write.value == 1 && rig.status == OmniRig::ST_ONLINE)));
        break;
    }
    for (const int code : {0, RigctldResponder::TimedOut, RigctldResponder::NotAvailable})
        checkReply(RigctldResponder::writeReply(*command, code));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 4)
        return 0;
    const SharedRig rig = rigFrom(data);
    RigctldSession session;
    std::string_view rest(reinterpret_cast<const char *>(data + 4), size - 4);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        if (end == std::string_view::npos)
            break; // only whole lines are commands
        if (end <= MaxLine)
            serve(rest.substr(0, end), rig, session);
        rest.remove_prefix(end + 1);
    }
    return 0;
}
