// RigModelCatalogue: the radio models a rig can be set to, as the settings window offers them and checks a
// rig's settings against them.
// Collaborations: the back ends fill it from Hamlib's tables (HamlibModelCatalogue); RigServerFactory hands it
// to the settings window, which so needs no back end of its own.
// Threads: any. An implementation reads its list once and never opens a radio, so the GUI thread may use it.
#pragma once

#include <string>
#include <vector>

// One radio model, by its Hamlib model number.
struct RigModel {
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

class RigModelCatalogue {
public:
    virtual ~RigModelCatalogue() = default;

    // Every model, by model number.
    virtual const std::vector<RigModel> &models() const = 0;
    // The entry of models() for a model number, or null.
    const RigModel *find(int model) const;
};
