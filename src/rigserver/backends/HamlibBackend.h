// HamlibBackend: any radio Hamlib knows, opened through libhamlib directly. Hamlib's own cache is off:
// the rig worker caches, and a cached answer would hide a radio that stopped answering.
// Hamlib's calls cannot be cancelled and some wait for seconds (an Icom that does not answer keeps
// rig_open busy for many timeouts); abort() cuts them short through a CallInterrupter.
// Collaborations: HamlibBackendFactory makes it; HamlibModels names the radio; HamlibRig holds the handle, so
// that radios opening and closing on both rigs' threads at once keep Hamlib's shared state whole.
// Threads: the rig's worker thread; abort() from any thread.
#pragma once

#include "rigserver/backends/CallInterrupter.h"
#include "rigserver/backends/HamlibRig.h"
#include "rigserver/core/RigBackend.h"
#include "rigserver/core/RigSettings.h"

#include <memory>

class HamlibBackend final : public RigBackend {
public:
    explicit HamlibBackend(RigSettings settings);
    ~HamlibBackend() override;

    HamlibBackend(const HamlibBackend &) = delete;
    HamlibBackend &operator=(const HamlibBackend &) = delete;

    RigResult open() override;
    void close() override;
    const RigCaps &caps() const override { return m_caps; }

    RigResult getFreq(std::int64_t &hertz) override;
    RigResult setFreq(std::int64_t hertz) override;
    RigResult getMode(std::int32_t &modeFlag) override;
    RigResult setMode(std::int32_t modeFlag) override;
    RigResult getPtt(bool &transmitting) override;
    RigResult setPtt(bool transmit) override;

    void abort() override { m_interrupter.interrupt(); }
    std::uint64_t commandCount() const override { return m_commands; }

private:
    // Runs one Hamlib call that talks to the radio, unless the back end was aborted.
    template <typename Call> RigResult call(Call hamlibCall);
    void watchPort(bool opened);

    CallInterrupter m_interrupter;
    RigSettings m_settings;
    std::unique_ptr<HamlibRig> m_rig;
    RigCaps m_caps;
    std::uint64_t m_commands = 0;
};
