// Standard headers only; <queue> starts with a q and is not Qt's.
#include <queue>

int sharedSize()
{
    return int(std::queue<int>().size());
}
