#include "about/core/ProductVersion.h"

// The build gives the project's version (CMakeLists.txt, project()) as VELKOR_VERSION_MAJOR, _MINOR, _PATCH.
static_assert(VELKOR_VERSION_MAJOR >= 0 && VELKOR_VERSION_MINOR >= 0 && VELKOR_VERSION_PATCH >= 0);

std::string productVersion()
{
    const std::string patch = std::to_string(VELKOR_VERSION_PATCH);
    return std::to_string(VELKOR_VERSION_MAJOR) + '.' + std::to_string(VELKOR_VERSION_MINOR) + '.' +
           (patch.size() < 2 ? "0" + patch : patch);
}
