// HamlibModels: the radio models this Hamlib knows, read from its static tables, and what every use of the
// library shares: its registration tables and its silence on stderr.
// Collaborations: the back ends name a rig's radio from it; the settings window offers its models
// and checks a rig's settings against them.
// Threads: any. The list is read once, on first use, and never opens a radio, so the GUI thread may use it.
#pragma once

#include <mutex>
#include <string>
#include <vector>

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

namespace HamlibModels {

// The radio's own short name for a Hamlib model number ("IC-7300", "Dummy"), as a rig type shows it; the
// maker's name for a model without one, and an empty text for a model Hamlib does not know.
std::string shortName(int model);
// Every model this Hamlib knows, by model number.
const std::vector<HamlibModel> &models();
// The entry of models() for a model number, or null.
const HamlibModel *findModel(int model);

// Keeps Hamlib quiet on stderr; the first use of Hamlib calls it.
void silenceLibrary();
// Hamlib registers its back ends in process-wide tables on first use and looks models up in them when a
// rig is made; calls that touch those tables hold this lock, so two worker threads never race on them.
std::mutex &libraryMutex();

} // namespace HamlibModels
