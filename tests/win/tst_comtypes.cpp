// The COM owners and conversions the client is built from, without a server.
#include "WineTest.h"
#include "omnirig/win/ComError.h"
#include "omnirig/win/ComPtr.h"
#include "omnirig/win/Utf8.h"

#include <vector>

namespace {

// An object that counts its references and records a Release past zero.
class Counted final : public IUnknown {
public:
    long references = 1;
    bool overReleased = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        if (!IsEqualIID(iid, IID_IUnknown)) {
            *object = reinterpret_cast<void *>(0x1); // what a careless server leaves behind on failure
            return E_NOINTERFACE;
        }
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        overReleased = overReleased || references <= 0;
        return static_cast<ULONG>(--references);
    }
};

} // namespace

WINE_TEST(comPtrReleasesEachReferenceOnce)
{
    Counted object;
    {
        auto first = ComPtr<IUnknown>::adopt(&object);
        ComPtr<IUnknown> copy = first;
        ComPtr<IUnknown> moved = std::move(copy);
        ComPtr<IUnknown> assigned;
        assigned = moved;
        assigned = assigned;
        assigned = std::move(moved);
        CHECK_EQ(object.references, 2);
        ComPtr<IUnknown> queried = first.query<IUnknown>(IID_IUnknown);
        HRESULT result = S_OK;
        CHECK(!first.query<IUnknown>(IID_IDispatch, &result));
        CHECK_EQ(result, E_NOINTERFACE);
        *queried.put() = &object; // an [out] parameter's callee hands over a reference
        object.AddRef();
        CHECK_EQ(object.references, 3);
    }
    CHECK_EQ(object.references, 0);
    CHECK(!object.overReleased);
}

WINE_TEST(utf8FromUtf16)
{
    const struct {
        const char *name;
        std::wstring text;
        std::string utf8;
    } rows[] = {
        {"ascii", L"IC-7300", "IC-7300"},
        {"accent", L"R\u00E9cepteur",
         "R\xC3\xA9"
         "cepteur"},
        {"surrogate pair", L"\U0001F4FB", "\xF0\x9F\x93\xBB"},
        {"lone surrogate", std::wstring(1, wchar_t(0xD800)) + L"x", "\xEF\xBF\xBDx"},
        {"empty", L"", ""},
    };
    for (const auto &row : rows) {
        WineTest::Row name(row.name);
        CHECK_EQ(toUtf8(row.text), row.utf8);
    }
}

WINE_TEST(errorTextNamesTheCallAndTheCode)
{
    const struct {
        HRESULT result;
        std::string text;
    } rows[] = {
        {static_cast<HRESULT>(0x800706BA), "IRigX.Freq: OmniRig is no longer running (0x800706BA)"},
        {RPC_E_DISCONNECTED, "IRigX.Freq: OmniRig is no longer running (0x80010108)"},
        {static_cast<HRESULT>(0x8004ABCD), "IRigX.Freq failed (0x8004ABCD)"},
    };
    for (const auto &row : rows) {
        WineTest::Row name(WineTest::show(row.result));
        CHECK_EQ(comErrorText("IRigX.Freq", row.result), row.text);
    }
    // The system's own text, without its full stop: the panel's error display adds one.
    const std::string text = comErrorText("IRigX.Mode", E_INVALIDARG);
    const std::string prefix = "IRigX.Mode: ";
    const std::string suffix = " (0x80070057)";
    CHECK(text.size() > prefix.size() + suffix.size());
    CHECK_EQ(text.substr(0, prefix.size()), prefix);
    CHECK_EQ(text.substr(text.size() - suffix.size()), suffix);
    CHECK(text[text.size() - suffix.size() - 1] != '.');
}
