// ComDispatch: calls on an automation object through IDispatch::Invoke, by dispatch id.
//
// Responsibilities: read and write properties and call methods of OmniRig's dual interfaces late-bound, with
// the dispatch ids its type library gives them. The system marshals IDispatch itself between any two
// processes, so this works where no proxy of an interface's vtable can be had: a 64-bit client of the 32-bit
// OmniRig whose registry view lacks the server's interfaces. A failure throws OmniRigError naming the member;
// an exception the server raised is reported by its code.
// Threads: the apartment's thread.
#pragma once

#include "omnirig/win/ComPtr.h"

#include <windows.h>

#include <oaidl.h>

#include <string>

class ComDispatch {
public:
    explicit ComDispatch(ComPtr<IDispatch> object) : m_object(std::move(object)) {}

    const ComPtr<IDispatch> &object() const { return m_object; }

    long getLong(DISPID id, const char *call) const;
    bool getBool(DISPID id, const char *call) const;
    std::string getText(DISPID id, const char *call) const;
    ComPtr<IDispatch> getObject(DISPID id, const char *call) const;
    void putLong(DISPID id, long value, const char *call) const;
    void putBool(DISPID id, bool value, const char *call) const;
    // A method that takes one long and answers a 16-bit boolean (IsParamReadable, IsParamWriteable).
    bool askBool(DISPID id, long argument, const char *call) const;

private:
    // The result converted to type; throws when the call fails or its result has no such form.
    void invoke(DISPID id, WORD flags, VARIANT *arguments, UINT count, VARTYPE type, VARIANT *result,
                const char *call) const;

    ComPtr<IDispatch> m_object;
};
