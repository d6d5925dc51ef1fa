#include "StandInServer.h"

#include "StandInDispatch.h"
#include "StandInModule.h"
#include "StandInTearOff.h"

#include <olectl.h>

#include <utility>

namespace {

void CALLBACK dieNow(HWND, UINT, UINT_PTR, DWORD)
{
    TerminateProcess(GetCurrentProcess(), 3);
}

bool yes(VARIANT_BOOL value)
{
    return value != VARIANT_FALSE;
}

} // namespace

StandInServer::StandInServer() : m_number(StandInState::instance().nextServer++)
{
    m_rigs[0] = ComPtr<StandInRig>::adopt(new StandInRig(0, m_number));
    m_rigs[1] = ComPtr<StandInRig>::adopt(new StandInRig(1, m_number));
    m_point = ComPtr<StandInConnectionPoint>::adopt(new StandInConnectionPoint(m_number));
    standInLock();
    StandInState::instance().run();
}

StandInServer::~StandInServer()
{
    standInUnlock();
}

ComPtr<StandInServer> StandInServer::create()
{
    return ComPtr<StandInServer>::adopt(new StandInServer);
}

HRESULT StandInServer::QueryInterface(REFIID iid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    const bool omniRigX = IsEqualIID(iid, IID_IOmniRigX) && !StandInState::instance().dispatchOnly;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || omniRigX)
        *object = static_cast<IOmniRigX *>(this);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
        *object = static_cast<IConnectionPointContainer *>(this);
    else if (IsEqualIID(iid, IID_IStandInControl))
        *object = static_cast<IStandInControl *>(this);
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
    return standInTypeInfoCount(count);
}

HRESULT StandInServer::GetTypeInfo(UINT index, LCID, ITypeInfo **info)
{
    return standInTypeInfoOf(IID_IOmniRigX, index, info);
}

HRESULT StandInServer::GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids)
{
    return standInIdsOfNames(IID_IOmniRigX, names, count, ids);
}

HRESULT StandInServer::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                              EXCEPINFO *exception, UINT *argumentError)
{
    return standInInvoke(static_cast<IOmniRigX *>(this), IID_IOmniRigX, id, flags, params, result, exception,
                         argumentError);
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
    if (StandInState::instance().tearOffs) {
        *value = new StandInTearOff(index, m_number, m_rigs[index]);
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
    *value = StandInState::instance().dialogVisible;
    return S_OK;
}

HRESULT StandInServer::put_DialogVisible(VARIANT_BOOL value)
{
    StandInState &state = StandInState::instance();
    state.dialogPut = value;
    state.dialogVisible = value;
    // Raised inside the call, before it returns, to every server object's sink.
    StandInEvent event;
    event.id = 1; // VisibleChange
    state.raise(event);
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

StandInRigState *StandInServer::rigState(LONG rig)
{
    return rig == 1 || rig == 2 ? &StandInState::instance().rigs[rig - 1] : nullptr;
}

HRESULT StandInServer::Reset()
{
    StandInState::instance().reset();
    return S_OK;
}

HRESULT StandInServer::SetDefinition(LONG rig, BSTR type)
{
    const StandInDefinition *definition =
        StandInState::definition(std::wstring(type ? type : L"", type ? SysStringLen(type) : 0));
    if (!rigState(rig) || !definition)
        return E_INVALIDARG;
    StandInState::instance().define(int(rig - 1), definition);
    return S_OK;
}

HRESULT StandInServer::SetRadio(LONG rig, LONG freq, LONG mode, LONG tx)
{
    StandInRigState *state = rigState(rig);
    if (!state)
        return E_INVALIDARG;
    state->radioFreq = freq;
    state->radioMode = mode;
    state->radioTx = tx;
    return S_OK;
}

HRESULT StandInServer::GetRadio(LONG rig, LONG *freq, LONG *mode)
{
    StandInRigState *state = rigState(rig);
    if (!state)
        return E_INVALIDARG;
    if (!freq || !mode)
        return E_POINTER;
    *freq = state->radioFreq;
    *mode = state->radioMode;
    return S_OK;
}

HRESULT StandInServer::SetLink(LONG rig, VARIANT_BOOL enabled, VARIANT_BOOL portAvailable, VARIANT_BOOL answering,
                               VARIANT_BOOL answersPolls)
{
    if (!rigState(rig))
        return E_INVALIDARG;
    StandInState::instance().setLink(int(rig - 1), yes(enabled), yes(portAvailable), yes(answering), yes(answersPolls));
    return S_OK;
}

HRESULT StandInServer::SetTiming(LONG pollMs, LONG timeoutMs)
{
    if (pollMs <= 0 || timeoutMs <= 0)
        return E_INVALIDARG;
    StandInState::instance().pollMs = pollMs;
    StandInState::instance().timeoutMs = timeoutMs;
    return S_OK;
}

HRESULT StandInServer::Polls(LONG rig, LONG *count)
{
    StandInRigState *state = rigState(rig);
    if (!state)
        return E_INVALIDARG;
    if (!count)
        return E_POINTER;
    *count = state->polls;
    return S_OK;
}

HRESULT StandInServer::SetShown(LONG rig, BSTR rigType, LONG readable, LONG status, BSTR statusStr, LONG freq, LONG tx,
                                LONG mode)
{
    StandInRigState *state = rigState(rig);
    if (!state)
        return E_INVALIDARG;
    StandInShown shown;
    shown.type.assign(rigType ? rigType : L"", rigType ? SysStringLen(rigType) : 0);
    shown.readable = readable;
    shown.status = status;
    if (statusStr)
        shown.statusText.emplace(statusStr, SysStringLen(statusStr));
    shown.freq = freq;
    shown.tx = tx;
    shown.mode = mode;
    state->shown = std::move(shown);
    return S_OK;
}

HRESULT StandInServer::SetDialogVisible(VARIANT_BOOL visible)
{
    StandInState::instance().dialogVisible = visible;
    return S_OK;
}

HRESULT StandInServer::DialogVisiblePut(short *raw)
{
    if (!raw)
        return E_POINTER;
    *raw = StandInState::instance().dialogPut;
    return S_OK;
}

HRESULT StandInServer::RefuseAdvise(VARIANT_BOOL refuse)
{
    StandInState::instance().refuseAdvise = yes(refuse);
    return S_OK;
}

HRESULT StandInServer::TearOffs(VARIANT_BOOL on)
{
    StandInState::instance().tearOffs = yes(on);
    return S_OK;
}

HRESULT StandInServer::DispatchOnly(VARIANT_BOOL on)
{
    StandInState::instance().dispatchOnly = yes(on);
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
    StandInState::instance().post(std::move(event));
    return S_OK;
}

HRESULT StandInServer::SinkCount(LONG *count)
{
    if (!count)
        return E_POINTER;
    *count = static_cast<LONG>(StandInState::instance().sinks.size());
    return S_OK;
}

HRESULT StandInServer::References(LONG *count)
{
    if (!count)
        return E_POINTER;
    *count = standInObjects();
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
    // Out of the class table first (see standInWithdraw); to its clients the end is as abrupt as a crash.
    standInWithdraw();
    SetTimer(nullptr, 0, 0, dieNow);
    return S_OK;
}
