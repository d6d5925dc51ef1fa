// ComPtr: owns one reference on a COM interface pointer.
//
// Responsibilities: AddRef on copy, Release on destruction, reset and reassignment, nothing on move, so
// that every path through the client releases each reference exactly once; query another interface of the
// same object.
// Threads: the apartment's thread that obtained the pointer.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include <utility>

template <class T> class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    ~ComPtr() { reset(); }

    // Takes over a reference the caller already owns (a fresh object, an [out] pointer).
    static ComPtr adopt(T *pointer)
    {
        ComPtr result;
        result.m_pointer = pointer;
        return result;
    }

    ComPtr(const ComPtr &other) : m_pointer(other.m_pointer)
    {
        if (m_pointer)
            m_pointer->AddRef();
    }
    ComPtr(ComPtr &&other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    ComPtr &operator=(ComPtr other) noexcept
    {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }

    void reset()
    {
        // Cleared before Release, which may run a destructor that reaches back here.
        if (T *old = std::exchange(m_pointer, nullptr))
            old->Release();
    }

    T *get() const { return m_pointer; }
    T *operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

    // For an [out] parameter: releases what is held and lets the callee fill in an owned reference.
    T **put()
    {
        reset();
        return &m_pointer;
    }

    // Another interface of the same object; empty, with the failure in *result, when the object has none.
    template <class U> ComPtr<U> query(const IID &iid, HRESULT *result = nullptr) const
    {
        void *raw = nullptr;
        HRESULT hr = m_pointer ? m_pointer->QueryInterface(iid, &raw) : E_POINTER;
        if (result)
            *result = hr;
        // A failed call owns nothing, whatever it left in raw.
        return SUCCEEDED(hr) ? ComPtr<U>::adopt(static_cast<U *>(raw)) : ComPtr<U>();
    }

private:
    T *m_pointer = nullptr;
};
