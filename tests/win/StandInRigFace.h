// StandInRigFace: IRigX over one of the stand-in's rigs, without IUnknown, shared by the rig object and its
// tear-offs. Everything a client of OmniRig calls answers as OmniRig does; the rest (RIT, XIT, split, pitch,
// tones, the port's lines) answers E_NOTIMPL, so a client that calls the wrong slot gets an error rather than
// a plausible value.
#pragma once

#include "OmniRigStandIn.h"
#include "StandInState.h"

class StandInRigFace : public IRigX {
public:
    // server: the number of the server object that handed the rig out, which a custom command's reply goes to.
    StandInRigFace(int index, int server) : m_index(index), m_server(server) {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo **info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                                     EXCEPINFO *exception, UINT *argumentError) override;

    HRESULT STDMETHODCALLTYPE get_RigType(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE get_ReadableParams(LONG *value) override;
    HRESULT STDMETHODCALLTYPE get_WriteableParams(LONG *value) override;
    HRESULT STDMETHODCALLTYPE IsParamReadable(LONG param, VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE IsParamWriteable(LONG param, VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE get_Status(LONG *value) override;
    HRESULT STDMETHODCALLTYPE get_StatusStr(BSTR *value) override;
    HRESULT STDMETHODCALLTYPE get_Freq(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_Freq(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_FreqA(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_FreqA(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_FreqB(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_FreqB(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_RitOffset(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_RitOffset(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Pitch(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Pitch(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Vfo(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_Vfo(LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Split(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_Split(LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Rit(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Rit(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Xit(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Xit(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Tx(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_Tx(LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Mode(LONG *value) override;
    HRESULT STDMETHODCALLTYPE put_Mode(LONG value) override;
    HRESULT STDMETHODCALLTYPE ClearRit() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSimplexMode(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSplitMode(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FrequencyOfTone(LONG, LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SendCustomCommand(VARIANT command, LONG, VARIANT) override;
    HRESULT STDMETHODCALLTYPE GetRxFrequency(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTxFrequency(LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_PortBits(IPortBits **) override { return E_NOTIMPL; }

protected:
    ~StandInRigFace() = default;

    StandInRigState &rig() const { return StandInState::instance().rigs[m_index]; }

    int m_index;
    int m_server;
};
