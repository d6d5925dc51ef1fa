// StandInServer: one server object of the stand-in OmniRig, with its two rigs, its events' connection point
// and IStandInControl, through which a test drives the radios and reads what they were told.
//
// As with OmniRig, every activation makes a new server object (none is entered in the running object table),
// and all of them share the one state of the stand-in (StandInState): the same two rigs, each object with
// rig objects and a sink of its own. The out-of-process stand-in's process ends when its last object has gone.
// Threads: the stand-in's single-threaded apartment.
#pragma once

#include "OmniRigStandIn.h"
#include "StandInConnectionPoint.h"
#include "StandInControl.h"
#include "StandInRig.h"
#include "omnirig/win/ComPtr.h"

#include <atomic>

class StandInServer final : public IOmniRigX, public IConnectionPointContainer, public IStandInControl {
public:
    static ComPtr<StandInServer> create();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch, for IOmniRigX.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo **info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                                     EXCEPINFO *exception, UINT *argumentError) override;

    // IOmniRigX
    HRESULT STDMETHODCALLTYPE get_InterfaceVersion(LONG *value) override;
    HRESULT STDMETHODCALLTYPE get_SoftwareVersion(LONG *value) override;
    HRESULT STDMETHODCALLTYPE get_Rig1(IRigX **value) override { return rig(0, value); }
    HRESULT STDMETHODCALLTYPE get_Rig2(IRigX **value) override { return rig(1, value); }
    HRESULT STDMETHODCALLTYPE get_DialogVisible(VARIANT_BOOL *value) override;
    HRESULT STDMETHODCALLTYPE put_DialogVisible(VARIANT_BOOL value) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints **points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint **point) override;

    // IStandInControl
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE SetDefinition(LONG rig, BSTR type) override;
    HRESULT STDMETHODCALLTYPE SetRadio(LONG rig, LONG freq, LONG mode, LONG tx) override;
    HRESULT STDMETHODCALLTYPE GetRadio(LONG rig, LONG *freq, LONG *mode) override;
    HRESULT STDMETHODCALLTYPE SetLink(LONG rig, VARIANT_BOOL enabled, VARIANT_BOOL portAvailable,
                                      VARIANT_BOOL answering, VARIANT_BOOL answersPolls) override;
    HRESULT STDMETHODCALLTYPE SetTiming(LONG pollMs, LONG timeoutMs) override;
    HRESULT STDMETHODCALLTYPE Polls(LONG rig, LONG *count) override;
    HRESULT STDMETHODCALLTYPE SetShown(LONG rig, BSTR rigType, LONG readable, LONG status, BSTR statusStr, LONG freq,
                                       LONG tx, LONG mode) override;
    HRESULT STDMETHODCALLTYPE SetDialogVisible(VARIANT_BOOL visible) override;
    HRESULT STDMETHODCALLTYPE DialogVisiblePut(short *raw) override;
    HRESULT STDMETHODCALLTYPE RefuseAdvise(VARIANT_BOOL refuse) override;
    HRESULT STDMETHODCALLTYPE TearOffs(VARIANT_BOOL on) override;
    HRESULT STDMETHODCALLTYPE DispatchOnly(VARIANT_BOOL on) override;
    HRESULT STDMETHODCALLTYPE PostEvent(LONG dispId, LONG rig, LONG params, VARIANT command, VARIANT reply) override;
    HRESULT STDMETHODCALLTYPE SinkCount(LONG *count) override;
    HRESULT STDMETHODCALLTYPE References(LONG *count) override;
    HRESULT STDMETHODCALLTYPE ProcessId(LONG *id) override;
    HRESULT STDMETHODCALLTYPE Die() override;

private:
    StandInServer();
    ~StandInServer();

    HRESULT rig(int index, IRigX **value);
    StandInRigState *rigState(LONG rig);

    std::atomic<ULONG> m_references{1};
    int m_number;
    ComPtr<StandInRig> m_rigs[2];
    ComPtr<StandInConnectionPoint> m_point;
};
