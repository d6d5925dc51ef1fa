#include "rigserver/core/RigSettings.h"

namespace {

std::string trimmed(const std::string &s)
{
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

} // namespace

bool RigSettings::sameRadio(const RigSettings &other) const
{
    RigSettings unshared = other;
    unshared.share = share;
    unshared.sharePort = sharePort;
    unshared.shareAddress = shareAddress;
    return unshared == *this;
}

std::string RigSettings::neededConf(int model)
{
    return model == DummyModel || model == DummyNoVfoModel ? "ptt_type=RIG" : "";
}

std::vector<std::pair<std::string, std::string>> RigSettings::confPairs() const
{
    std::vector<std::pair<std::string, std::string>> pairs;
    std::size_t start = 0;
    while (start <= conf.size()) {
        std::size_t end = conf.find(';', start);
        if (end == std::string::npos)
            end = conf.size();
        const std::string entry = conf.substr(start, end - start);
        const std::size_t eq = entry.find('=');
        if (eq != std::string::npos) {
            std::string name = trimmed(entry.substr(0, eq));
            if (!name.empty())
                pairs.emplace_back(std::move(name), trimmed(entry.substr(eq + 1)));
        }
        start = end + 1;
    }
    return pairs;
}
