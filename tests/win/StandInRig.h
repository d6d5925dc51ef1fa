// StandInRig: one of a stand-in server's two rigs; its IUnknown is the rig's identity.
#pragma once

#include "StandInRigFace.h"

#include <atomic>

class StandInRig final : public StandInRigFace {
public:
    StandInRig(std::shared_ptr<StandInState> state, int index);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override;

    long references() const { return static_cast<long>(m_references.load()); }

private:
    ~StandInRig();

    std::atomic<ULONG> m_references{1};
};
