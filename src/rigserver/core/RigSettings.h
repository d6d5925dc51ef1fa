// RigSettings: how one rig of the rig server is set up, as the settings file and window hold it: the radio
// and how it is reached, and whether other programs may use it through the rigctld protocol.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct RigSettings {
    static constexpr int NoRig = 0;
    static constexpr int DummyModel = 1;   // Hamlib's Dummy rig
    static constexpr int RigctldModel = 2; // a radio shared by rigctld ("NET rigctl")
    static constexpr int DummyNoVfoModel = 6;

    int model = DummyModel; // Hamlib model number, NoRig for none
    std::string port;       // serial device, or host:port for network models
    int speed = 0;          // baud, 0 for the model's default
    int pollMs = 500;
    int timeoutMs = 2000;
    bool enabled = true;
    std::string conf = "ptt_type=RIG"; // extra Hamlib settings, "name=value;name=value"

    // Sharing: a rigctld-protocol listener (Hamlib's NET rigctl) for other programs, off unless asked for.
    bool share = false;
    int sharePort = defaultSharePort(1);
    std::string shareAddress = "127.0.0.1"; // only this machine's programs, unless another address is named

    bool operator==(const RigSettings &) const = default;
    // The same radio reached the same way, whatever the settings say about sharing it.
    bool sameRadio(const RigSettings &other) const;

    // rigctld's own port for Rig1, the next one for Rig2.
    static constexpr int defaultSharePort(int rigNumber) { return 4531 + rigNumber; }

    // The Conf pairs in order, trimmed; empty entries and entries without '=' are left out.
    std::vector<std::pair<std::string, std::string>> confPairs() const;

    // The extra Hamlib settings a model needs when the operator gave none: the Dummy rigs report their
    // transmit state only with PTT through the rig. Empty for every other model.
    static std::string neededConf(int model);
};
