// ComBstr: owns one BSTR.
//
// Responsibilities: SysFreeString exactly once for a string a callee handed over ([out] BSTR, a VARIANT's
// copy); a null BSTR is the empty string, as automation defines it. Its length is SysStringLen, not the
// first NUL.
// Threads: any.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <utility>

class ComBstr {
public:
    ComBstr() = default;
    explicit ComBstr(const wchar_t *text) : m_text(SysAllocString(text)) {}
    ~ComBstr() { SysFreeString(m_text); }

    ComBstr(const ComBstr &) = delete;
    ComBstr &operator=(const ComBstr &) = delete;
    ComBstr(ComBstr &&other) noexcept : m_text(std::exchange(other.m_text, nullptr)) {}
    ComBstr &operator=(ComBstr &&other) noexcept
    {
        std::swap(m_text, other.m_text);
        return *this;
    }

    BSTR get() const { return m_text; }
    // For an [out] BSTR: frees what is held and lets the callee fill in a string the caller owns.
    BSTR *put()
    {
        SysFreeString(std::exchange(m_text, nullptr));
        return &m_text;
    }

    std::string toUtf8() const;

private:
    BSTR m_text = nullptr;
};
