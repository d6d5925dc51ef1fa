#include "ini/FileStore.h"

namespace FileStore {

bool holds(const std::string &path, const std::string &bytes)
{
    std::string current;
    return read(path, current) == ReadOutcome::Read && current == bytes;
}

} // namespace FileStore
