// HamlibBackend: any radio Hamlib knows, opened through libhamlib directly. Hamlib's own cache is off:
// the rig worker caches, and a cached answer would hide a radio that stopped answering.
// Threads: the rig's worker thread.
#pragma once

#include "RigBackend.h"
#include "RigSettings.h"

#include <string>

struct s_rig;

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

    std::uint64_t commandCount() const override { return m_commands; }

    // "Mfg Model" for a Hamlib model number, or an empty text for a model Hamlib does not know.
    static std::string modelName(int model);
    // Keeps Hamlib quiet on stderr; the first use of Hamlib calls it.
    static void silenceLibrary();

private:
    RigResult call(int hamlibResult);

    RigSettings m_settings;
    s_rig *m_rig = nullptr;
    RigCaps m_caps;
    std::uint64_t m_commands = 0;
};
