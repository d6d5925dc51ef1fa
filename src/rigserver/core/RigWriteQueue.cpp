#include "rigserver/core/RigWriteQueue.h"

#include <algorithm>
#include <utility>

bool RigWriteQueue::push(const RigWrite &write)
{
    std::lock_guard lock(m_mutex);
    const auto same = std::find_if(m_writes.begin(), m_writes.end(),
                                   [&](const RigWrite &pending) { return pending.kind == write.kind; });
    if (same != m_writes.end())
        *same = write;
    else
        m_writes.push_back(write);
    return !std::exchange(m_told, true);
}

std::vector<RigWrite> RigWriteQueue::take()
{
    std::vector<RigWrite> writes;
    std::lock_guard lock(m_mutex);
    writes.swap(m_writes);
    m_told = false;
    return writes;
}
