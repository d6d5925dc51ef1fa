#include <QString>
#include <queue>

int sharedSize()
{
    return int(std::queue<int>().size());
}
