// StandInRig: one of a stand-in server object's two rigs; its IUnknown is the rig's identity.
#pragma once

#include "StandInRigFace.h"

#include <atomic>

class StandInRig final : public StandInRigFace {
public:
    StandInRig(int index, int server);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override;

private:
    ~StandInRig();

    std::atomic<ULONG> m_references{1};
};
