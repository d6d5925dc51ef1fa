// HamlibBackend: any radio Hamlib knows, opened through libhamlib directly. Hamlib's own cache is off:
// the rig worker caches, and a cached answer would hide a radio that stopped answering.
// Hamlib's calls cannot be cancelled and some wait for seconds (an Icom that does not answer keeps
// rig_open busy for many timeouts); abort() cuts them short through a CallInterrupter.
// Threads: the rig's worker thread; abort() from any thread.
#pragma once

#include "CallInterrupter.h"
#include "RigBackend.h"
#include "RigSettings.h"

#include <string>
#include <vector>

struct s_rig;

// One radio model this Hamlib knows, as the settings window offers it.
struct HamlibModel {
    // How the radio is reached, which decides what the port setting holds.
    enum class Port {
        None,    // nothing to connect (the Dummy rigs)
        Serial,  // a serial device
        Network, // host:port
        Device,  // a device file that is not a serial line (parallel port, tuner card)
        Usb,     // through libusb: Hamlib reads the port text its own way
        Other,
    };

    int model = 0;
    std::string manufacturer;
    std::string name;
    Port port = Port::None;
    int serialRateMin = 0; // baud; 0 when the radio has no serial line
    int serialRateMax = 0;
};

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

    void abort() override { m_interrupter.interrupt(); }
    std::uint64_t commandCount() const override { return m_commands; }

    // "Mfg Model" for a Hamlib model number, or an empty text for a model Hamlib does not know.
    static std::string modelName(int model);
    // Every model this Hamlib knows, by model number. Read from Hamlib's static tables once, so the GUI
    // thread may call it: it never opens a radio.
    static const std::vector<HamlibModel> &models();
    // The entry of models() for a model number, or null.
    static const HamlibModel *findModel(int model);
    // Keeps Hamlib quiet on stderr; the first use of Hamlib calls it.
    static void silenceLibrary();

private:
    // Runs one Hamlib call that talks to the radio, unless the back end was aborted.
    template <typename Call> RigResult call(Call hamlibCall);
    void watchPort(bool opened);

    CallInterrupter m_interrupter;
    RigSettings m_settings;
    s_rig *m_rig = nullptr;
    RigCaps m_caps;
    std::uint64_t m_commands = 0;
};
