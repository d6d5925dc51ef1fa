#include "ini/TemporaryName.h"

#include <cstdint>
#include <random>

namespace TemporaryName {
namespace {

constexpr const char *Digits = "0123456789abcdefghijklmnopqrstuvwxyz";

} // namespace

std::string fresh(const std::string &base)
{
    thread_local std::mt19937_64 engine{std::random_device{}()};
    std::uint64_t value = engine();
    std::string part;
    do {
        part += Digits[value % 36];
        value /= 36;
    } while (value != 0);
    return '.' + base + '.' + part + ".tmp";
}

bool isOurs(const std::string &name, const std::string &base)
{
    const std::string head = '.' + base + '.';
    const std::string tail = ".tmp";
    if (!name.starts_with(head) || !name.ends_with(tail) || name.size() <= head.size() + tail.size())
        return false;
    for (std::size_t i = head.size(); i < name.size() - tail.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

} // namespace TemporaryName
