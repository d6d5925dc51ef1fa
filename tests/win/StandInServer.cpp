#include "StandInServer.h"

#include "StandInModule.h"
#include "StandInTearOff.h"

#include <olectl.h>

#include <utility>

namespace {

StandInServer *g_current = nullptr;
bool g_inTable = false;

void CALLBACK dieNow(HWND, UINT, UINT_PTR, DWORD)
{
    TerminateProcess(GetCurrentProcess(), 3);
}

} // namespace

StandInServer::StandInServer()
    : m_rigs{ComPtr<StandInRig>::adopt(new StandInRig(m_state, 0)),
             ComPtr<StandInRig>::adopt(new StandInRig(m_state, 1))},
      m_point(ComPtr<StandInConnectionPoint>::adopt(new StandInConnectionPoint(m_state)))
{
    standInLock();
    g_current = this;
}

StandInServer::~StandInServer()
{
    if (g_current == this)
        g_current = nullptr;
    standInUnlock();
}

ComPtr<StandInServer> StandInServer::create()
{
    auto server = ComPtr<StandInServer>::adopt(new StandInServer);
    if (standInOutOfProcess() && !g_inTable) {
        // Set first: registering asks for IExternalConnection already.
        server->m_listed = true;
        if (SUCCEEDED(RegisterActiveObject(static_cast<IOmniRigX *>(server.get()), standInClass(), ACTIVEOBJECT_WEAK,
                                           &server->m_tableCookie))) {
            g_inTable = true;
            RegisterActiveObject(static_cast<IOmniRigX *>(server.get()), OmniRigClass, ACTIVEOBJECT_WEAK,
                                 &server->m_omniRigCookie);
        } else {
            server->m_listed = false;
        }
    }
    return server;
}

StandInServer *StandInServer::current()
{
    return g_current;
}

HRESULT StandInServer::QueryInterface(REFIID iid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IOmniRigX))
        *object = static_cast<IOmniRigX *>(this);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
        *object = static_cast<IConnectionPointContainer *>(this);
    else if (IsEqualIID(iid, IID_IStandInControl))
        *object = static_cast<IStandInControl *>(this);
    else if (IsEqualIID(iid, IID_IExternalConnection) && m_listed)
        *object = static_cast<IExternalConnection *>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG StandInServer::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT StandInServer::GetTypeInfoCount(UINT *count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT StandInServer::get_InterfaceVersion(LONG *value)
{
    if (!value)
        return E_POINTER;
    *value = 0x101;
    return S_OK;
}

HRESULT StandInServer::get_SoftwareVersion(LONG *value)
{
    if (!value)
        return E_POINTER;
    *value = 0x10014;
    return S_OK;
}

HRESULT StandInServer::rig(int index, IRigX **value)
{
    if (!value)
        return E_POINTER;
    if (m_state->tearOffs) {
        *value = new StandInTearOff(m_state, index, m_rigs[index]);
        return S_OK;
    }
    *value = m_rigs[index].get();
    (*value)->AddRef();
    return S_OK;
}

HRESULT StandInServer::get_DialogVisible(VARIANT_BOOL *value)
{
    if (!value)
        return E_POINTER;
    *value = m_state->dialogVisible;
    return S_OK;
}

HRESULT StandInServer::put_DialogVisible(VARIANT_BOOL value)
{
    m_state->dialogPut = value;
    m_state->dialogVisible = value;
    return S_OK;
}

HRESULT StandInServer::EnumConnectionPoints(IEnumConnectionPoints **points)
{
    if (points)
        *points = nullptr;
    return E_NOTIMPL;
}

HRESULT StandInServer::FindConnectionPoint(REFIID iid, IConnectionPoint **point)
{
    if (!point)
        return E_POINTER;
    *point = nullptr;
    if (!IsEqualIID(iid, DIID_IOmniRigXEvents))
        return CONNECT_E_NOCONNECTION;
    *point = m_point.get();
    (*point)->AddRef();
    return S_OK;
}

HRESULT StandInServer::Reset()
{
    m_state->reset();
    return S_OK;
}

HRESULT StandInServer::SetRig(LONG rig, BSTR rigType, LONG readable, LONG status, BSTR statusStr, LONG freq, LONG tx,
                              LONG mode)
{
    if (rig != 1 && rig != 2)
        return E_INVALIDARG;
    StandInRigState &state = m_state->rigs[rig - 1];
    state.type.assign(rigType ? rigType : L"", rigType ? SysStringLen(rigType) : 0);
    state.readable = readable;
    state.status = status;
    if (statusStr)
        state.statusText.emplace(statusStr, SysStringLen(statusStr));
    else
        state.statusText.reset();
    state.freq = freq;
    state.tx = tx;
    state.mode = mode;
    return S_OK;
}

HRESULT StandInServer::GetRig(LONG rig, LONG *freq, LONG *mode)
{
    if (rig != 1 && rig != 2)
        return E_INVALIDARG;
    if (!freq || !mode)
        return E_POINTER;
    *freq = m_state->rigs[rig - 1].freq;
    *mode = m_state->rigs[rig - 1].mode;
    return S_OK;
}

HRESULT StandInServer::SetDialogVisible(VARIANT_BOOL visible)
{
    m_state->dialogVisible = visible;
    return S_OK;
}

HRESULT StandInServer::DialogVisiblePut(short *raw)
{
    if (!raw)
        return E_POINTER;
    *raw = m_state->dialogPut;
    return S_OK;
}

HRESULT StandInServer::RefuseAdvise(VARIANT_BOOL refuse)
{
    m_state->refuseAdvise = refuse != VARIANT_FALSE;
    return S_OK;
}

HRESULT StandInServer::TearOffs(VARIANT_BOOL on)
{
    m_state->tearOffs = on != VARIANT_FALSE;
    return S_OK;
}

HRESULT StandInServer::EventOnWrite(VARIANT_BOOL on)
{
    m_state->eventOnWrite = on != VARIANT_FALSE;
    return S_OK;
}

HRESULT StandInServer::PostEvent(LONG dispId, LONG rig, LONG params, VARIANT command, VARIANT reply)
{
    StandInEvent event;
    event.id = dispId;
    event.rig = rig;
    event.params = params;
    if (!event.command->copyFrom(command) || !event.reply->copyFrom(reply))
        return E_INVALIDARG;
    m_state->post(std::move(event));
    return S_OK;
}

HRESULT StandInServer::SinkCount(LONG *count)
{
    if (!count)
        return E_POINTER;
    *count = static_cast<LONG>(m_state->sinks.size());
    return S_OK;
}

HRESULT StandInServer::References(LONG *count)
{
    if (!count)
        return E_POINTER;
    *count = static_cast<LONG>(m_references.load()) + m_rigs[0]->references() + m_rigs[1]->references();
    return S_OK;
}

HRESULT StandInServer::ProcessId(LONG *id)
{
    if (!id)
        return E_POINTER;
    *id = static_cast<LONG>(GetCurrentProcessId());
    return S_OK;
}

HRESULT StandInServer::Die()
{
    if (!standInOutOfProcess())
        return E_NOTIMPL;
    // Out of the tables first (see standInWithdraw); to its clients the end is as abrupt as a crash.
    standInWithdraw();
    if (m_listed) {
        m_listed = false;
        g_inTable = false;
        RevokeActiveObject(std::exchange(m_tableCookie, 0), nullptr);
        if (m_omniRigCookie)
            RevokeActiveObject(std::exchange(m_omniRigCookie, 0), nullptr);
    }
    SetTimer(nullptr, 0, 0, dieNow);
    return S_OK;
}

DWORD StandInServer::AddConnection(DWORD type, DWORD)
{
    return (type & EXTCONN_STRONG) ? ++m_connections : m_connections;
}

DWORD StandInServer::ReleaseConnection(DWORD type, DWORD, BOOL)
{
    if (!(type & EXTCONN_STRONG) || m_connections == 0)
        return m_connections;
    if (--m_connections == 0)
        leaveRunningObjectTable();
    return m_connections;
}

void StandInServer::leaveRunningObjectTable()
{
    if (!m_listed)
        return;
    m_listed = false;
    // Revoking and disconnecting let go of the references COM held for the table; this object may go with them.
    const ComPtr<StandInServer> self = [this] {
        AddRef();
        return ComPtr<StandInServer>::adopt(this);
    }();
    RevokeActiveObject(std::exchange(m_tableCookie, 0), nullptr);
    if (m_omniRigCookie)
        RevokeActiveObject(std::exchange(m_omniRigCookie, 0), nullptr);
    g_inTable = false;
    CoDisconnectObject(static_cast<IOmniRigX *>(this), 0);
}
