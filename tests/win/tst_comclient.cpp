// The Windows client of OmniRig (TOmniRigX over ComOmniRigFactory) against a stand-in server: the
// in-process DLL ("inproc": direct calls into a server written from its own interface description), the
// 32-bit out-of-process EXE registered as OmniRig itself ("outofproc": every call and event through the
// marshaler, as with OmniRig), or the same EXE answering to IDispatch alone ("dispatch": the client's way to a
// server whose interfaces it has no proxy for). The 64-bit build's client runs against the same EXE.
#include "StandInControl.h"
#include "WineTest.h"
#include "omnirig/TOmniRigX.h"
#include "omnirig/win/ComApartment.h"
#include "omnirig/win/ComBstr.h"
#include "omnirig/win/ComOmniRigFactory.h"
#include "omnirig/win/ComPtr.h"
#include "omnirig/win/ComVariant.h"
#include "omnirig/win/OmniRigCom.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace OmniRig;

namespace {

bool outOfProcess()
{
    return WineTest::argument() != "inproc";
}

const CLSID &standIn()
{
    return outOfProcess() ? OmniRig::Com::CLSID_OmniRigX : CLSID_StandInDll;
}

std::string hex(const std::string &bytes)
{
    std::string text;
    for (unsigned char byte : bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += digits;
    }
    return text;
}

std::string joined(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += (text.empty() ? "" : " | ") + line;
    return text;
}

// Writes down every event as a line ("ParamsChange 2 0x2"); react runs after each, on the same call.
class Recorder final : public IOmniRigXEvents {
public:
    std::vector<std::string> events;
    std::function<void(const std::string &)> react;
    bool offThread = false;

    void OnVisibleChange() override { record("VisibleChange"); }
    void OnRigTypeChange(int rig) override { record("RigTypeChange " + std::to_string(rig)); }
    void OnStatusChange(int rig) override { record("StatusChange " + std::to_string(rig)); }
    void OnParamsChange(int rig, std::int32_t params) override
    {
        char flags[16];
        std::snprintf(flags, sizeof flags, "0x%X", static_cast<unsigned>(params));
        record("ParamsChange " + std::to_string(rig) + " " + flags);
    }
    void OnCustomReply(int rig, const std::string &command, const std::string &reply) override
    {
        record("CustomReply " + std::to_string(rig) + " " + hex(command) + " " + hex(reply));
    }

private:
    void record(const std::string &line)
    {
        offThread = offThread || GetCurrentThreadId() != m_thread;
        events.push_back(line);
        if (react)
            react(line);
    }

    DWORD m_thread = GetCurrentThreadId();
};

// Dispatches the thread's messages, as a GUI thread does, until done() or a generous deadline, which only
// keeps a broken run from hanging.
bool pumpUntil(const std::function<bool()> &done, HANDLE wake = nullptr)
{
    const ULONGLONG deadline = GetTickCount64() + 20000;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done())
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        MsgWaitForMultipleObjectsEx(wake ? 1 : 0, wake ? &wake : nullptr, static_cast<DWORD>(deadline - now),
                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

void check(HRESULT result, const char *call)
{
    if (FAILED(result))
        WineTest::fail(__FILE__, __LINE__, std::string(call) + " failed: " + WineTest::show(result));
}

void setText(ComVariant &target, const wchar_t *value)
{
    VARIANT *variant = target.put();
    V_VT(variant) = VT_BSTR;
    V_BSTR(variant) = SysAllocString(value);
}

// A one-dimensional byte array, as OmniRig passes a custom command's bytes.
void setBytes(ComVariant &target, const std::string &value)
{
    VARIANT *variant = target.put();
    SAFEARRAY *array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(value.size()));
    void *data = nullptr;
    SafeArrayAccessData(array, &data);
    value.copy(static_cast<char *>(data), value.size());
    SafeArrayUnaccessData(array);
    V_VT(variant) = VT_ARRAY | VT_UI1;
    V_ARRAY(variant) = array;
}

// One test's world: its apartment, a running stand-in server and the factory the client uses.
struct Fixture {
    ComApartment apartment;
    ComPtr<IStandInControl> control;
    std::shared_ptr<IOmniRigFactory> factory = std::make_shared<ComOmniRigFactory>(standIn());

    Fixture()
    {
        check(CoCreateInstance(standIn(), nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IStandInControl,
                               reinterpret_cast<void **>(control.put())),
              "CoCreateInstance");
        check(control->Reset(), "Reset");
        check(control->DispatchOnly(WineTest::argument() == "dispatch" ? VARIANT_TRUE : VARIANT_FALSE), "DispatchOnly");
    }

    // The running server through the product's own factory, as a second client that hears events too.
    std::shared_ptr<IOmniRigX> secondClient() const
    {
        std::shared_ptr<IOmniRigX> server = factory->GetActiveObject();
        return server ? server : factory->CreateInstance();
    }

    // What the radio behind the rig holds, once the server has told it what it was told.
    std::pair<long, long> radioOnceTold(long rig, long freq) const
    {
        LONG heldFreq = 0, heldMode = 0;
        pumpUntil([&] {
            check(control->GetRadio(rig, &heldFreq, &heldMode), "GetRadio");
            return heldFreq == freq;
        });
        return {heldFreq, heldMode};
    }

    long sinks() const
    {
        LONG count = -1;
        check(control->SinkCount(&count), "SinkCount");
        return count;
    }

    void post(long dispId, long rig = 0, long params = 0) const
    {
        const ComVariant none;
        post(dispId, rig, params, none, none);
    }
    void post(long dispId, long rig, long params, const ComVariant &command, const ComVariant &reply) const
    {
        check(control->PostEvent(dispId, rig, params, command.get(), reply.get()), "PostEvent");
    }
};

} // namespace

WINE_TEST(connectsToTheRunningServer)
{
    Fixture fixture;
    check(fixture.control->SetShown(1, ComBstr(L"Running").get(), PM_FREQ, ST_ONLINE, ComBstr(L"On-line").get(),
                                    3573000, PM_RX, PM_CW_U),
          "SetRig");
    Recorder events;
    TOmniRigX client(&events, fixture.factory);
    CHECK_EQ(client.Rig1()->RigType(), std::string("Running"));
    CHECK_EQ(fixture.sinks(), 1);
}

WINE_TEST(startsAServerWhenNoneRuns)
{
    ComApartment apartment;
    Recorder events;
    TOmniRigX client(&events, std::make_shared<ComOmniRigFactory>(standIn()));
    CHECK_EQ(client.Rig1()->RigType(), std::string("IC-7300"));
    CHECK(client.isConnected());
}

WINE_TEST(withoutAServerEveryCallFailsWithTheConnectMessage)
{
    if (outOfProcess())
        WineTest::skip("the same without a stand-in");
    ComApartment apartment;
    // {F37AAC43-66F2-4B88-B3D9-842344A2DAA8}: registered nowhere.
    const CLSID nowhere = {0xF37AAC43, 0x66F2, 0x4B88, {0xB3, 0xD9, 0x84, 0x23, 0x44, 0xA2, 0xDA, 0xA8}};
    Recorder events;
    TOmniRigX client(&events, std::make_shared<ComOmniRigFactory>(nowhere));
    const std::pair<const char *, std::function<void()>> calls[] = {
        {"Rig1", [&] { client.Rig1(); }},
        {"Rig2", [&] { client.Rig2(); }},
        {"DialogVisible", [&] { client.DialogVisible(); }},
        {"SetDialogVisible", [&] { client.SetDialogVisible(true); }},
    };
    for (const auto &[name, call] : calls) {
        WineTest::Row row(name);
        CHECK_EQ(THROWN(OmniRigError, call()), std::string(NotConnectedMessage));
    }
}

WINE_TEST(eachRigIsTheSameObjectOnEveryCall)
{
    Fixture fixture;
    for (const VARIANT_BOOL tearOffs : {VARIANT_FALSE, VARIANT_TRUE}) {
        WineTest::Row row(tearOffs ? "a new interface pointer per call" : "one interface pointer");
        check(fixture.control->TearOffs(tearOffs), "TearOffs");
        Recorder events;
        TOmniRigX client(&events, fixture.factory);
        IRigX *rig1 = client.Rig1();
        IRigX *rig2 = client.Rig2();
        CHECK(client.Rig1() == rig1);
        CHECK(client.Rig2() == rig2);
        CHECK(rig1 != rig2);
    }
}

WINE_TEST(readsWhatTheServerReports)
{
    const struct {
        const char *name;
        const wchar_t *type;
        std::string typeUtf8;
        long readable;
        long status;
        const wchar_t *statusText; // null: the server gives a null string
        std::string statusUtf8;
        long freq;
        long tx;
        long mode;
        VARIANT_BOOL dialog;
    } rows[] = {
        {"on line, transmitting", L"IC-9700 \u00C9", "IC-9700 \xC3\x89", PM_FREQ | PM_TX | PM_RX | PM_CW_U, ST_ONLINE,
         L"On-line", "On-line", 1296200000, PM_TX, PM_CW_U, VARIANT_TRUE},
        {"not configured", L"NONE", "NONE", 0, ST_NOTCONFIGURED, nullptr, "", 2147483647, 0, 0, VARIANT_FALSE},
        {"a server whose true is 1", L"FT-817", "FT-817", PM_RX, ST_NOTRESPONDING, L"Rig is not responding",
         "Rig is not responding", 0, PM_RX, PM_SSB_L, 1},
    };
    Fixture fixture;
    for (const auto &row : rows) {
        WineTest::Row name(row.name);
        check(fixture.control->SetShown(1, ComBstr(row.type).get(), row.readable, row.status,
                                        ComBstr(row.statusText).get(), row.freq, row.tx, row.mode),
              "SetRig");
        check(fixture.control->SetShown(2, ComBstr(L"Rig two").get(), PM_FM, ST_PORTBUSY,
                                        ComBstr(L"Port is not available").get(), 145500000, PM_RX, PM_FM),
              "SetRig");
        check(fixture.control->SetDialogVisible(row.dialog), "SetDialogVisible");
        Recorder events;
        TOmniRigX client(&events, fixture.factory);
        IRigX *rig = client.Rig1();
        CHECK_EQ(rig->RigType(), row.typeUtf8);
        CHECK_EQ(rig->ReadableParams(), row.readable);
        CHECK_EQ(rig->IsParamReadable(PM_FREQ), (row.readable & PM_FREQ) != 0);
        CHECK_EQ(rig->IsParamReadable(PM_RX), (row.readable & PM_RX) != 0);
        CHECK_EQ(rig->Status(), row.status);
        CHECK_EQ(rig->StatusStr(), row.statusUtf8);
        CHECK_EQ(rig->Freq(), std::int64_t{row.freq});
        CHECK_EQ(rig->Tx(), row.tx);
        CHECK_EQ(rig->Mode(), row.mode);
        CHECK_EQ(client.DialogVisible(), row.dialog != VARIANT_FALSE);
        IRigX *other = client.Rig2();
        CHECK_EQ(other->RigType(), std::string("Rig two"));
        CHECK_EQ(other->Status(), std::int32_t{ST_PORTBUSY});
        CHECK_EQ(other->Freq(), std::int64_t{145500000});
        CHECK_EQ(other->Mode(), std::int32_t{PM_FM});
    }
}

WINE_TEST(writesReachTheServer)
{
    Fixture fixture;
    Recorder events;
    TOmniRigX client(&events, fixture.factory);
    client.Rig2()->SetFreq(21074000);
    client.Rig2()->SetMode(PM_DIG_U);
    CHECK(pumpUntil([&] { return fixture.radioOnceTold(2, 21074000) == std::make_pair(21074000L, long(PM_DIG_U)); }));
    LONG freq = 0;
    LONG mode = 0;
    check(fixture.control->GetRadio(1, &freq, &mode), "GetRadio");
    CHECK_EQ(freq, 14074000L);
    // Automation's true is -1; a server that tests for it would not see 1 as true.
    for (const auto &[visible, raw] : {std::pair{true, short{-1}}, std::pair{false, short{0}}}) {
        WineTest::Row row(visible ? "show" : "hide");
        client.SetDialogVisible(visible);
        short put = 99;
        check(fixture.control->DialogVisiblePut(&put), "DialogVisiblePut");
        CHECK_EQ(put, raw);
    }
}

WINE_TEST(aFrequencyBeyond32BitsIsRefusedNotWrapped)
{
    const struct {
        std::int64_t hertz;
        bool sent;
    } rows[] = {
        {2147483647, true},
        {2147483648, false},              // 2^31: would arrive as -2147483648
        {4294967296LL + 14074000, false}, // would arrive as 14074000, a plausible frequency
        {-2147483649LL, false},
    };
    Fixture fixture;
    Recorder events;
    TOmniRigX client(&events, fixture.factory);
    IRigX *rig = client.Rig1();
    for (const auto &row : rows) {
        WineTest::Row name(std::to_string(row.hertz));
        rig->SetFreq(7000000);
        CHECK_EQ(fixture.radioOnceTold(1, 7000000).first, 7000000L);
        if (row.sent) {
            rig->SetFreq(row.hertz);
            CHECK_EQ(std::int64_t{fixture.radioOnceTold(1, long(row.hertz)).first}, row.hertz);
        } else {
            // Refused before anything is sent, through FreqA as through Freq.
            const std::string beyond =
                ": " + std::to_string(row.hertz) + " Hz is beyond OmniRig's range (up to 2147483647 Hz)";
            CHECK_EQ(THROWN(OmniRigError, rig->SetFreq(row.hertz)), "IRigX.Freq" + beyond);
            CHECK_EQ(THROWN(OmniRigError, rig->SetFreqA(row.hertz)), "IRigX.FreqA" + beyond);
        }
    }
}

WINE_TEST(eventsArriveWithTheirArgumentsWhileThePumpRuns)
{
    Fixture fixture;
    Recorder events;
    // A handler that fails stops there; the events after it still come.
    events.react = [](const std::string &line) {
        if (line == "StatusChange 1")
            throw OmniRigError("handler failed");
    };
    TOmniRigX client(&events, fixture.factory);
    client.Connect();
    ComVariant command;
    setText(command, L"FA;");
    ComVariant reply;
    setBytes(reply, std::string("FA\0\xFD", 4));
    fixture.post(DISPID_OnVisibleChange);
    fixture.post(DISPID_OnRigTypeChange, 2);
    fixture.post(DISPID_OnStatusChange, 1);
    fixture.post(99, 1, 1);
    fixture.post(DISPID_OnParamsChange, 2, PM_FREQ | PM_SSB_U);
    fixture.post(DISPID_OnCustomReply, 1, 0, command, reply);
    // Shows what came, if not all did.
    pumpUntil([&] { return events.events.size() >= 5; });
    CHECK_EQ(joined(events.events), std::string("VisibleChange | RigTypeChange 2 | StatusChange 1 | "
                                                "ParamsChange 2 0x2000002 | CustomReply 1 46413B 464100FD"));
    CHECK(!events.offThread);
}

WINE_TEST(anEventMayArriveDuringAnOutgoingCall)
{
    Fixture fixture;
    Recorder events;
    TOmniRigX client(&events, fixture.factory);
    // OmniRig raises VisibleChange inside put_DialogVisible: the handler calls the server while the server is
    // still in the call that raised the event.
    events.react = [&](const std::string &line) {
        if (line == "VisibleChange")
            events.events.push_back(std::string("DialogVisible ") + (client.DialogVisible() ? "yes" : "no"));
    };
    client.SetDialogVisible(true);
    CHECK_EQ(joined(events.events), std::string("VisibleChange | DialogVisible yes"));
}

WINE_TEST(aRefusedSubscriptionIsSilent)
{
    Fixture fixture;
    Recorder witness;
    const std::shared_ptr<IOmniRigX> second = fixture.secondClient();
    second->Advise(&witness);
    check(fixture.control->RefuseAdvise(VARIANT_TRUE), "RefuseAdvise");
    Recorder events;
    TOmniRigX client(&events, fixture.factory);
    CHECK_EQ(client.Rig1()->Freq(), std::int64_t{14074000});
    CHECK_EQ(fixture.sinks(), 1);
    fixture.post(DISPID_OnStatusChange, 1);
    CHECK(pumpUntil([&] { return !witness.events.empty(); }));
    CHECK(events.events.empty());
}

WINE_TEST(unsubscribedClientsHearNothing)
{
    Fixture fixture;
    Recorder witness;
    const std::shared_ptr<IOmniRigX> second = fixture.secondClient();
    second->Advise(&witness);
    Recorder events;
    {
        TOmniRigX client(&events, fixture.factory);
        client.Connect();
        CHECK_EQ(fixture.sinks(), 2);
        client.Disconnect();
        CHECK_EQ(fixture.sinks(), 1);
    }
    fixture.post(DISPID_OnStatusChange, 2);
    CHECK(pumpUntil([&] { return !witness.events.empty(); }));
    CHECK(events.events.empty());
    // A server object let go with a sink still subscribed unsubscribes it.
    Recorder forgotten;
    {
        const std::shared_ptr<IOmniRigX> third = fixture.secondClient();
        third->Advise(&forgotten);
        CHECK_EQ(fixture.sinks(), 2);
    }
    CHECK_EQ(fixture.sinks(), 1);
}

WINE_TEST(aClientLetsGoOfEverything)
{
    Fixture fixture;
    LONG before = 0;
    check(fixture.control->References(&before), "References");
    LONG processId = 0;
    check(fixture.control->ProcessId(&processId), "ProcessId");
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(processId));
    {
        Recorder events;
        TOmniRigX client(&events, fixture.factory);
        for (const VARIANT_BOOL tearOffs : {VARIANT_FALSE, VARIANT_TRUE}) {
            check(fixture.control->TearOffs(tearOffs), "TearOffs");
            for (IRigX *rig : {client.Rig1(), client.Rig2()}) {
                rig->RigType();
                rig->StatusStr();
                rig->IsParamReadable(PM_FREQ);
                rig->SetFreq(rig->Freq());
            }
        }
        client.SetDialogVisible(client.DialogVisible());
        ComVariant command;
        setText(command, L"IF;");
        ComVariant reply;
        setBytes(reply, "IF00014074000;");
        fixture.post(DISPID_OnCustomReply, 1, 0, command, reply);
        CHECK(pumpUntil([&] { return !events.events.empty(); }));
    }
    if (!outOfProcess()) {
        LONG after = 0;
        check(fixture.control->References(&after), "References");
        CHECK_EQ(after, before);
    } else {
        // Out of process, every reference the client kept would keep the server's process alive.
        fixture.control.reset();
        CHECK(pumpUntil([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, process));
    }
    CloseHandle(process);
}

WINE_TEST(aServerThatDiesGivesClearErrors)
{
    if (!outOfProcess())
        WineTest::skip("an in-process server cannot die alone");
    Fixture fixture;
    Recorder events;
    TOmniRigX client(&events, fixture.factory);
    IRigX *rig = client.Rig1();
    CHECK_EQ(rig->Freq(), std::int64_t{14074000});
    LONG processId = 0;
    check(fixture.control->ProcessId(&processId), "ProcessId");
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(processId));
    check(fixture.control->Die(), "Die");
    CHECK(pumpUntil([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, process));
    CloseHandle(process);
    const std::pair<std::string, std::function<void()>> calls[] = {
        {"IRigX.Freq", [&] { rig->Freq(); }},
        {"IRigX.Freq", [&] { rig->SetFreq(7074000); }},
        {"IRigX.Mode", [&] { rig->SetMode(PM_SSB_U); }},
        {"IOmniRigX.Rig2", [&] { client.Rig2(); }},
        {"IOmniRigX.DialogVisible", [&] { client.DialogVisible(); }},
    };
    for (const auto &[name, call] : calls) {
        WineTest::Row row(name);
        const std::string text = THROWN(OmniRigError, call());
        CHECK_EQ(text.substr(0, name.size() + 32), name + ": OmniRig is no longer running (");
    }
    // Unsubscribing and releasing on the way out must neither fail nor hang.
    client.Disconnect();
    CHECK(!client.isConnected());
}
