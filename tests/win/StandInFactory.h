// StandInFactory: the stand-ins' class object.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include <atomic>

class StandInFactory final : public IClassFactory {
public:
    StandInFactory() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    ~StandInFactory() = default;

    std::atomic<ULONG> m_references{1};
};
