// StandInRigFace: IRigX over a stand-in rig's state, without IUnknown, shared by the rig object and its
// tear-offs. Members the client has no use for answer E_NOTIMPL, so a client that calls the wrong slot
// gets an error rather than a plausible value.
#pragma once

#include "OmniRigStandIn.h"
#include "StandInState.h"

#include <memory>

class StandInRigFace : public IRigX {
public:
    StandInRigFace(std::shared_ptr<StandInState> state, int index) : m_state(std::move(state)), m_index(index) {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) override
    {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_RigType(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE get_ReadableParams(LONG *value) override;
    HRESULT STDMETHODCALLTYPE get_WriteableParams(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsParamReadable(LONG param, VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE IsParamWriteable(LONG, VARIANT_BOOL *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Status(LONG *value) override;
    HRESULT STDMETHODCALLTYPE get_StatusStr(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE get_Freq(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_Freq(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_FreqA(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_FreqA(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_FreqB(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_FreqB(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RitOffset(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_RitOffset(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Pitch(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Pitch(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Vfo(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Vfo(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Split(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Split(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Rit(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Rit(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Xit(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Xit(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Tx(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_Tx(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Mode(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_Mode(LONG value) override;
    HRESULT STDMETHODCALLTYPE ClearRit() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSimplexMode(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSplitMode(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FrequencyOfTone(LONG, LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SendCustomCommand(VARIANT, LONG, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRxFrequency(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTxFrequency(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_PortBits(IPortBits **) override { return E_NOTIMPL; }

protected:
    ~StandInRigFace() = default;

    StandInRigState &rig() { return m_state->rigs[m_index]; }
    void written(long params);

    std::shared_ptr<StandInState> m_state;
    int m_index;
};
