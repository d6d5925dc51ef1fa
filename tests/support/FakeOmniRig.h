// FakeOmniRig: a scriptable stand-in for the rig server. Each rig answers reads from fields the test
// sets, records every read and write in one log shared by the server ("Rig1.Freq", "Rig2.Freq=14074350"),
// and can be told to fail at a chosen call, so a test can say exactly what was asked and written, in
// which order, and that nothing was written at all.
#pragma once

#include "omnirig/OmniRig_TLB.h"

#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class FakeOmniRig;

class FakeRig final : public IRigX {
public:
    FakeRig(FakeOmniRig &server, int number) : m_server(server), m_number(number) {}

    std::string rigType = "Hamlib Dummy";
    std::int32_t readable = OmniRig::PM_FREQ | OmniRig::PM_MODES | OmniRig::PM_RX | OmniRig::PM_TX;
    std::int32_t writeable = OmniRig::PM_FREQ | OmniRig::PM_MODES;
    std::int32_t status = OmniRig::ST_ONLINE;
    std::string statusText = "On-line";
    std::int64_t freq = 14074000;
    std::int64_t freqA = 0;
    std::int32_t mode = OmniRig::PM_SSB_U;
    std::int32_t tx = OmniRig::PM_RX;

    std::string RigType() override;
    std::int32_t ReadableParams() override;
    bool IsParamReadable(std::int32_t param) override;
    bool IsParamWriteable(std::int32_t param) override;
    std::int32_t Status() override;
    std::string StatusStr() override;
    std::int64_t Freq() override;
    void SetFreq(std::int64_t hertz) override;
    std::int64_t FreqA() override;
    void SetFreqA(std::int64_t hertz) override;
    std::int32_t Tx() override;
    std::int32_t Mode() override;
    void SetMode(std::int32_t mode) override;

private:
    void record(const QString &call);

    FakeOmniRig &m_server;
    int m_number;
};

class FakeOmniRig final : public IOmniRigX {
public:
    FakeOmniRig();

    FakeRig rig1{*this, 1};
    FakeRig rig2{*this, 2};
    bool dialogVisible = false;
    bool refuseAdvise = false;

    // Every call in order, e.g. "Rig1.Status", "Rig2.Freq=14074350", "DialogVisible=1".
    QStringList log;
    // Only the writes of log.
    QStringList writes() const;
    void clearLog() { log.clear(); }

    // The call (as it appears in log) that throws OmniRigError the next time it is made, after being
    // logged; cleared when it fires.
    std::optional<QString> failAt;

    IRigX *Rig1() override;
    IRigX *Rig2() override;
    bool DialogVisible() override;
    void SetDialogVisible(bool visible) override;
    int Advise(IOmniRigXEvents *sink) override;
    void Unadvise(int cookie) override;

    int sinkCount() const { return static_cast<int>(m_sinks.size()); }

    // Raise an event to every subscribed sink, as the server would.
    void raiseVisibleChange();
    void raiseRigTypeChange(int rig);
    void raiseStatusChange(int rig);
    void raiseParamsChange(int rig, std::int32_t params);
    void raiseCustomReply(int rig, const std::string &command, const std::string &reply);

    void record(const QString &call);

private:
    std::vector<std::pair<int, IOmniRigXEvents *>> m_sinks;
    int m_nextCookie = 1;
};

// A factory over one fake server: whether a server "is running", and whether creating one works.
class FakeOmniRigFactory final : public IOmniRigFactory {
public:
    std::shared_ptr<FakeOmniRig> server = std::make_shared<FakeOmniRig>();
    bool running = false;        // GetActiveObject finds the server
    bool creatable = true;       // CreateInstance gives it
    bool creationThrows = false; // CreateInstance throws OmniRigError
    int activeCalls = 0;
    int createCalls = 0;

    std::shared_ptr<IOmniRigX> GetActiveObject() override;
    std::shared_ptr<IOmniRigX> CreateInstance() override;
};
