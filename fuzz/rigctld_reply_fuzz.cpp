// libFuzzer target: whatever bytes a rigctld peer sends, in whatever pieces, the reply reader and the
// value parsers neither crash nor read out of bounds, and a reply never grows past its limits.
#include "RigModes.h"
#include "RigctldConnection.h"
#include "RigctldProtocol.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    static const char *const names[] = {"get_freq", "get_mode", "get_ptt", "set_freq", "set_mode", "dump_caps"};
    const std::string expected = names[data[0] % 6];
    const std::size_t piece = 1 + data[1] % 64;
    const std::string_view bytes(reinterpret_cast<const char *>(data + 2), size - 2);

    RigctldReplyReader reader(expected);
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        reader.feed(bytes.substr(at, piece));
    if (reader.state() == RigctldReplyReader::State::Complete) {
        const RigctldReply &reply = reader.reply();
        if (reply.records.size() > RigctldReplyReader::MaxRecords)
            std::abort();
        for (const auto &[key, value] : reply.records) {
            if (key.size() > RigctldReplyReader::MaxLine || value.size() > RigctldReplyReader::MaxLine)
                std::abort();
            if (const auto hertz = RigctldValues::parseFrequency(value); hertz && (*hertz < 0 || *hertz > 1000000000000))
                std::abort();
            RigctldValues::parsePtt(value);
            RigModes::flagFromName(value);
        }
    }
    std::string host, port;
    RigctldConnection::splitHostPort(std::string(bytes.substr(0, 300)), host, port);
    return 0;
}
