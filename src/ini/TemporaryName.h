// TemporaryName: the names of the temporary files a replacement writes beside its target, the same on
// every platform, so that one left behind by a crash is known for ours and removed later.
// Threads: any.
#pragma once

#include <string>

namespace TemporaryName {

// A temporary file of ours this old belongs to no write in progress: its writer died. One lives for the
// length of a single write, so a minute is generous.
constexpr int StaleSeconds = 60;

// "." base "." <random base-36> ".tmp", for the file named base.
std::string fresh(const std::string &base);

// Whether name is one that fresh(base) gives.
bool isOurs(const std::string &name, const std::string &base);

} // namespace TemporaryName
