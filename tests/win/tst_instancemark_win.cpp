// The one-instance mark on Windows: a named section of the session, refused to a second holder while the
// first holds it, and free again once released.
#include "WineTest.h"
#include "panel/platform/InstanceMarker.h"

#include <windows.h>

#include <string>

namespace {

std::string uniqueName()
{
    return "VELKOR-test-" + std::to_string(::GetCurrentProcessId());
}

} // namespace

WINE_TEST(oneHolderAtATime)
{
    const std::string name = uniqueName();
    InstanceMarker first, second;
    CHECK(first.claim(name));
    CHECK(!second.claim(name));
    first.release();
    CHECK(second.claim(name));
}

WINE_TEST(theMarkIsTheNamedSection)
{
    const std::string name = uniqueName() + "-section";
    InstanceMarker marker;
    CHECK(marker.claim(name));
    // What another copy sees: a read-only section of that name, 32 bytes.
    const HANDLE section = ::OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    CHECK(section != nullptr);
    const void *view = ::MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0);
    CHECK(view != nullptr);
    MEMORY_BASIC_INFORMATION info{};
    ::VirtualQuery(view, &info, sizeof info);
    CHECK(info.RegionSize >= 32);
    ::UnmapViewOfFile(view);
    ::CloseHandle(section);
    marker.release();
    CHECK(::OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()) == nullptr);
}
