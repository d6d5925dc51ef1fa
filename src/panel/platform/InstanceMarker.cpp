// What the mark is on every platform; how it is held is each platform's own file.
#include "panel/platform/InstanceMarker.h"

namespace {

std::string &nameSlot()
{
    static std::string name = "VELKOR";
    return name;
}

} // namespace

InstanceMarker::~InstanceMarker()
{
    release();
}

std::string InstanceMarker::defaultName()
{
    return nameSlot();
}

void InstanceMarker::setDefaultName(const std::string &name)
{
    nameSlot() = name;
}
