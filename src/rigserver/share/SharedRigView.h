// SharedRigView: the latest SharedRig of a rig, handed from the GUI thread, where the rig object lives, to
// the thread that answers its clients.
// Responsibilities: replace the view as a whole and give the current one, never a half-written one.
// Threads: set() on the GUI thread, get() on the share's thread; a read costs a lock and a reference count.
#pragma once

#include "rigserver/rigctld/RigctldResponder.h"

#include <memory>
#include <mutex>

class SharedRigView {
public:
    std::shared_ptr<const SharedRig> get() const
    {
        std::lock_guard lock(m_mutex);
        return m_rig;
    }

    void set(SharedRig rig)
    {
        auto next = std::make_shared<const SharedRig>(std::move(rig));
        std::lock_guard lock(m_mutex);
        m_rig = std::move(next);
    }

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<const SharedRig> m_rig = std::make_shared<const SharedRig>();
};
