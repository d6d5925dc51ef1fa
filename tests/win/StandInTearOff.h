// StandInTearOff: another IRigX pointer to a stand-in rig, handed out when tear-offs are on. Its own
// address differs from the rig's, but QueryInterface(IUnknown) leads to the rig, as COM's identity rule
// wants, so only a client that compares IUnknowns sees the two as one rig.
#pragma once

#include "StandInRig.h"
#include "omnirig/win/ComPtr.h"

#include <atomic>

class StandInTearOff final : public StandInRigFace {
public:
    StandInTearOff(int index, int server, ComPtr<StandInRig> rig);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override;

private:
    ~StandInTearOff();

    std::atomic<ULONG> m_references{1};
    ComPtr<StandInRig> m_rig;
};
