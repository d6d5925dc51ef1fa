#include "clean/Shared.h"
#include "low/Low.h"

#include <unistd.h>

#include <vector>

int shared()
{
    return std::vector<int>{low()}.front() + int(getpid() > 0);
}
