// ComRig: one of OmniRig's rigs over COM, as the contract's IRigX.
//
// Responsibilities: each contract call is one call on the rig: early-bound on its IRigX, or late-bound through
// IDispatch where the client could get no IRigX (ComDispatch); a failure throws OmniRigError naming the member;
// text comes back as UTF-8, 16-bit booleans as bool.
// Frequencies cross COM as OmniRig's 32-bit signed long and are 64-bit hertz in the contract. A read gives
// OmniRig's value as it is: OmniRig itself cannot report 2^31 Hz (2.147483648 GHz) or more. A write that does
// not fit in 32 bits throws OmniRigError and sends nothing, where a plain conversion would wrap round and
// tune the radio to some other frequency.
// Collaborations: ComOmniRig makes one per rig object and keeps it for its own lifetime, so the pointer it
// hands out stays valid and the same. identity() is the rig's IUnknown: COM promises the same IUnknown for
// every interface pointer to one object, not the same IRigX pointer.
// Threads: the apartment's thread.
#pragma once

#include "omnirig/OmniRig_TLB.h"
#include "omnirig/win/ComDispatch.h"
#include "omnirig/win/ComPtr.h"
#include "omnirig/win/OmniRigCom.h"

#include <optional>

class ComRig final : public IRigX {
public:
    ComRig(ComPtr<OmniRig::Com::IRigX> rig, ComPtr<IUnknown> identity);
    ComRig(ComDispatch rig, ComPtr<IUnknown> identity);

    IUnknown *identity() const { return m_identity.get(); }

    std::string RigType() override;
    std::int32_t ReadableParams() override;
    bool IsParamReadable(std::int32_t param) override;
    bool IsParamWriteable(std::int32_t param) override;
    std::int32_t Status() override;
    std::string StatusStr() override;
    std::int64_t Freq() override;
    void SetFreq(std::int64_t hertz) override;
    std::int64_t FreqA() override;
    void SetFreqA(std::int64_t hertz) override;
    std::int32_t Tx() override;
    std::int32_t Mode() override;
    void SetMode(std::int32_t mode) override;

private:
    using Getter = HRESULT (STDMETHODCALLTYPE OmniRig::Com::IRigX::*)(long *);
    using Setter = HRESULT (STDMETHODCALLTYPE OmniRig::Com::IRigX::*)(long);
    using Question = HRESULT (STDMETHODCALLTYPE OmniRig::Com::IRigX::*)(long, VARIANT_BOOL *);

    std::int32_t readLong(Getter getter, DISPID id, const char *call);
    void writeLong(Setter setter, DISPID id, long value, const char *call);
    bool ask(Question question, DISPID id, std::int32_t param, const char *call);
    std::string readText(HRESULT (STDMETHODCALLTYPE OmniRig::Com::IRigX::*getter)(BSTR *), DISPID id, const char *call);
    void writeHertz(Setter setter, DISPID id, std::int64_t hertz, const char *call);

    ComPtr<OmniRig::Com::IRigX> m_rig; // empty when the rig is reached through m_dispatch
    std::optional<ComDispatch> m_dispatch;
    ComPtr<IUnknown> m_identity;
};
