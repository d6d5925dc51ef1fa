// OmniRig's automation interfaces as its type library publishes them, declared by vtable slot so the client
// calls them early-bound. Both interfaces are dual: slots 0-2 are IUnknown's, 3-6 IDispatch's, and the
// members follow in the library's order (the slot stands beside each). `long` is 32 bits here, as in the
// library; RigParamX and RigStatusX values travel as long.
//
// Responsibilities: the identifiers and the interface layouts, nothing else.
// Collaborations: ComOmniRig and ComRig call through these; ComEventSink answers the events' id.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <ocidl.h>

static_assert(sizeof(long) == 4, "OmniRig's long is 32 bits");

namespace OmniRig::Com {

// {4FE359C5-A58F-459D-BE95-CA559FB4F270}
inline constexpr GUID LIBID_OmniRig = {0x4FE359C5, 0xA58F, 0x459D, {0xBE, 0x95, 0xCA, 0x55, 0x9F, 0xB4, 0xF2, 0x70}};
// {0839E8C6-ED30-4950-8087-966F970F0CAE}, ProgID "OmniRig.OmniRigX"
inline constexpr GUID CLSID_OmniRigX = {0x0839E8C6, 0xED30, 0x4950, {0x80, 0x87, 0x96, 0x6F, 0x97, 0x0F, 0x0C, 0xAE}};
// {501A2858-3331-467A-837A-989FDEDACC7D}
inline constexpr GUID IID_IOmniRigX = {0x501A2858, 0x3331, 0x467A, {0x83, 0x7A, 0x98, 0x9F, 0xDE, 0xDA, 0xCC, 0x7D}};
// {D30A7E51-5862-45B7-BFFA-6415917DA0CF}
inline constexpr GUID IID_IRigX = {0xD30A7E51, 0x5862, 0x45B7, {0xBF, 0xFA, 0x64, 0x15, 0x91, 0x7D, 0xA0, 0xCF}};
// {2219175F-E561-47E7-AD17-73C4D8891AA1}: the dispinterface OmniRigX raises its events on (default source).
inline constexpr GUID DIID_IOmniRigXEvents = {
    0x2219175F, 0xE561, 0x47E7, {0xAD, 0x17, 0x73, 0xC4, 0xD8, 0x89, 0x1A, 0xA1}};
// {78AECFA2-3F52-4E39-98D3-1646C00A6234}
inline constexpr GUID CLSID_RigX = {0x78AECFA2, 0x3F52, 0x4E39, {0x98, 0xD3, 0x16, 0x46, 0xC0, 0x0A, 0x62, 0x34}};
// {3DEE2CC8-1EA3-46E7-B8B4-3E7321F2446A}
inline constexpr GUID IID_IPortBits = {0x3DEE2CC8, 0x1EA3, 0x46E7, {0xB8, 0xB4, 0x3E, 0x73, 0x21, 0xF2, 0x44, 0x6A}};
// {B786DE29-3B3D-4C66-B7C4-547F9A77A21D}
inline constexpr GUID CLSID_PortBits = {0xB786DE29, 0x3B3D, 0x4C66, {0xB7, 0xC4, 0x54, 0x7F, 0x9A, 0x77, 0xA2, 0x1D}};

// The dispatch ids of IOmniRigXEvents are OmniRig::EventDispId in the contract. Those of the members the
// client calls through IDispatch, where it cannot reach a vtable:
namespace ServerDispId {
inline constexpr DISPID Rig1 = 3;
inline constexpr DISPID Rig2 = 4;
inline constexpr DISPID DialogVisible = 5;
} // namespace ServerDispId
namespace RigDispId {
inline constexpr DISPID RigType = 1;
inline constexpr DISPID ReadableParams = 2;
inline constexpr DISPID IsParamReadable = 4;
inline constexpr DISPID IsParamWriteable = 5;
inline constexpr DISPID Status = 6;
inline constexpr DISPID StatusStr = 7;
inline constexpr DISPID Freq = 8;
inline constexpr DISPID FreqA = 9;
inline constexpr DISPID Tx = 17;
inline constexpr DISPID Mode = 18;
} // namespace RigDispId

// The port's control lines; the client never calls it, so only its identity is declared.
struct IPortBits : IDispatch {};

struct IRigX : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_RigType(BSTR *value) = 0;                          // 7
    virtual HRESULT STDMETHODCALLTYPE get_ReadableParams(long *value) = 0;                   // 8
    virtual HRESULT STDMETHODCALLTYPE get_WriteableParams(long *value) = 0;                  // 9
    virtual HRESULT STDMETHODCALLTYPE IsParamReadable(long param, VARIANT_BOOL *value) = 0;  // 10
    virtual HRESULT STDMETHODCALLTYPE IsParamWriteable(long param, VARIANT_BOOL *value) = 0; // 11
    virtual HRESULT STDMETHODCALLTYPE get_Status(long *value) = 0;                           // 12
    virtual HRESULT STDMETHODCALLTYPE get_StatusStr(BSTR *value) = 0;                        // 13
    virtual HRESULT STDMETHODCALLTYPE get_Freq(long *value) = 0;                             // 14
    virtual HRESULT STDMETHODCALLTYPE put_Freq(long value) = 0;                              // 15
    virtual HRESULT STDMETHODCALLTYPE get_FreqA(long *value) = 0;                            // 16
    virtual HRESULT STDMETHODCALLTYPE put_FreqA(long value) = 0;                             // 17
    virtual HRESULT STDMETHODCALLTYPE get_FreqB(long *value) = 0;                            // 18
    virtual HRESULT STDMETHODCALLTYPE put_FreqB(long value) = 0;                             // 19
    virtual HRESULT STDMETHODCALLTYPE get_RitOffset(long *value) = 0;                        // 20
    virtual HRESULT STDMETHODCALLTYPE put_RitOffset(long value) = 0;                         // 21
    virtual HRESULT STDMETHODCALLTYPE get_Pitch(long *value) = 0;                            // 22
    virtual HRESULT STDMETHODCALLTYPE put_Pitch(long value) = 0;                             // 23
    virtual HRESULT STDMETHODCALLTYPE get_Vfo(long *value) = 0;                              // 24
    virtual HRESULT STDMETHODCALLTYPE put_Vfo(long value) = 0;                               // 25
    virtual HRESULT STDMETHODCALLTYPE get_Split(long *value) = 0;                            // 26
    virtual HRESULT STDMETHODCALLTYPE put_Split(long value) = 0;                             // 27
    virtual HRESULT STDMETHODCALLTYPE get_Rit(long *value) = 0;                              // 28
    virtual HRESULT STDMETHODCALLTYPE put_Rit(long value) = 0;                               // 29
    virtual HRESULT STDMETHODCALLTYPE get_Xit(long *value) = 0;                              // 30
    virtual HRESULT STDMETHODCALLTYPE put_Xit(long value) = 0;                               // 31
    virtual HRESULT STDMETHODCALLTYPE get_Tx(long *value) = 0;                               // 32
    virtual HRESULT STDMETHODCALLTYPE put_Tx(long value) = 0;                                // 33
    virtual HRESULT STDMETHODCALLTYPE get_Mode(long *value) = 0;                             // 34
    virtual HRESULT STDMETHODCALLTYPE put_Mode(long value) = 0;                              // 35
    virtual HRESULT STDMETHODCALLTYPE ClearRit() = 0;                                        // 36
    virtual HRESULT STDMETHODCALLTYPE SetSimplexMode(long freq) = 0;                         // 37
    virtual HRESULT STDMETHODCALLTYPE SetSplitMode(long rxFreq, long txFreq) = 0;            // 38
    virtual HRESULT STDMETHODCALLTYPE FrequencyOfTone(long tone, long *value) = 0;           // 39
    virtual HRESULT STDMETHODCALLTYPE SendCustomCommand(VARIANT command, long replyLength,
                                                        VARIANT replyEnd) = 0; // 40
    virtual HRESULT STDMETHODCALLTYPE GetRxFrequency(long *value) = 0;         // 41
    virtual HRESULT STDMETHODCALLTYPE GetTxFrequency(long *value) = 0;         // 42
    virtual HRESULT STDMETHODCALLTYPE get_PortBits(IPortBits **value) = 0;     // 43
};

struct IOmniRigX : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_InterfaceVersion(long *value) = 0;      // 7
    virtual HRESULT STDMETHODCALLTYPE get_SoftwareVersion(long *value) = 0;       // 8
    virtual HRESULT STDMETHODCALLTYPE get_Rig1(IRigX **value) = 0;                // 9
    virtual HRESULT STDMETHODCALLTYPE get_Rig2(IRigX **value) = 0;                // 10
    virtual HRESULT STDMETHODCALLTYPE get_DialogVisible(VARIANT_BOOL *value) = 0; // 11
    virtual HRESULT STDMETHODCALLTYPE put_DialogVisible(VARIANT_BOOL value) = 0;  // 12
};

} // namespace OmniRig::Com
