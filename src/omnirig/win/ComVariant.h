// ComVariant: owns one VARIANT.
//
// Responsibilities: VariantInit on creation and VariantClear exactly once, so a BSTR, a SAFEARRAY or an
// interface inside is freed whatever path leaves the scope; copies another VARIANT with its by-reference
// layers resolved, so what is read is always a value.
// Threads: the apartment's thread.
#pragma once

#include <windows.h>

#include <oleauto.h>

class ComVariant {
public:
    ComVariant() { VariantInit(&m_value); }
    ~ComVariant() { VariantClear(&m_value); }

    ComVariant(const ComVariant &) = delete;
    ComVariant &operator=(const ComVariant &) = delete;

    // A deep copy of source, by-reference values dereferenced; false (and empty) when it cannot be copied.
    bool copyFrom(const VARIANT &source);
    // Converts in place; false (and empty) when the value has no such form.
    bool changeType(VARTYPE type);

    const VARIANT &get() const { return m_value; }
    VARIANT *put()
    {
        VariantClear(&m_value);
        return &m_value;
    }

private:
    VARIANT m_value;
};
