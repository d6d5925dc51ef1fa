// StandInServer: a stand-in for OmniRig's server object, with two rigs, the events' connection point and
// IStandInControl, through which a test sets what the rigs report and reads what the client wrote.
//
// The out-of-process stand-in makes a new server object for every activation, and the first of them that
// is alive stands in the running object table, so a test can tell whether the client found the running
// server or created another. It leaves the table when its last client lets go (IExternalConnection), and
// the process ends when its last object has gone. The in-process stand-in gives every activation the one
// server object alive, if any.
// Threads: the stand-in's single-threaded apartment.
#pragma once

#include "OmniRigStandIn.h"
#include "StandInConnectionPoint.h"
#include "StandInControl.h"
#include "StandInRig.h"
#include "StandInState.h"
#include "omnirig/win/ComPtr.h"

#include <atomic>
#include <memory>

class StandInServer final : public IOmniRigX,
                            public IConnectionPointContainer,
                            public IStandInControl,
                            public IExternalConnection {
public:
    static ComPtr<StandInServer> create();
    // The in-process stand-in's server object while one is alive.
    static StandInServer *current();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) override
    {
        return E_NOTIMPL;
    }

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
    HRESULT STDMETHODCALLTYPE SetRig(LONG rig, BSTR rigType, LONG readable, LONG status, BSTR statusStr, LONG freq,
                                     LONG tx, LONG mode) override;
    HRESULT STDMETHODCALLTYPE GetRig(LONG rig, LONG *freq, LONG *mode) override;
    HRESULT STDMETHODCALLTYPE SetDialogVisible(VARIANT_BOOL visible) override;
    HRESULT STDMETHODCALLTYPE DialogVisiblePut(short *raw) override;
    HRESULT STDMETHODCALLTYPE RefuseAdvise(VARIANT_BOOL refuse) override;
    HRESULT STDMETHODCALLTYPE TearOffs(VARIANT_BOOL on) override;
    HRESULT STDMETHODCALLTYPE EventOnWrite(VARIANT_BOOL on) override;
    HRESULT STDMETHODCALLTYPE PostEvent(LONG dispId, LONG rig, LONG params, VARIANT command, VARIANT reply) override;
    HRESULT STDMETHODCALLTYPE SinkCount(LONG *count) override;
    HRESULT STDMETHODCALLTYPE References(LONG *count) override;
    HRESULT STDMETHODCALLTYPE ProcessId(LONG *id) override;
    HRESULT STDMETHODCALLTYPE Die() override;

    // IExternalConnection
    DWORD STDMETHODCALLTYPE AddConnection(DWORD type, DWORD) override;
    DWORD STDMETHODCALLTYPE ReleaseConnection(DWORD type, DWORD, BOOL) override;

private:
    StandInServer();
    ~StandInServer();

    HRESULT rig(int index, IRigX **value);
    void leaveRunningObjectTable();

    std::atomic<ULONG> m_references{1};
    std::shared_ptr<StandInState> m_state = std::make_shared<StandInState>();
    ComPtr<StandInRig> m_rigs[2];
    ComPtr<StandInConnectionPoint> m_point;
    bool m_listed = false;
    DWORD m_tableCookie = 0;
    // The EXE is listed as OmniRig too, so that a program that looks for OmniRig finds it (the panel's tests).
    DWORD m_omniRigCookie = 0;
    DWORD m_connections = 0;
};
