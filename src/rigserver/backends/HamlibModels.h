// HamlibModels: the radio models this Hamlib knows, read from its static tables, and what every use of the
// library shares: its registration tables and its silence on stderr.
// Collaborations: the back ends name a rig's radio from it; HamlibModelCatalogue hands its models to the
// settings window.
// Threads: any. The list is read once, on first use, and never opens a radio, so the GUI thread may use it.
#pragma once

#include "rigserver/core/RigModelCatalogue.h"

#include <mutex>
#include <string>
#include <vector>

namespace HamlibModels {

// The radio's own short name for a Hamlib model number ("IC-7300", "Dummy"), as a rig type shows it; the
// maker's name for a model without one, and an empty text for a model Hamlib does not know.
std::string shortName(int model);
// Every model this Hamlib knows, by model number.
const std::vector<RigModel> &models();

// Keeps Hamlib quiet on stderr; the first use of Hamlib calls it.
void silenceLibrary();
// Hamlib registers its back ends in process-wide tables on first use and looks models up in them when a
// rig is made; calls that touch those tables hold this lock, so two worker threads never race on them.
std::mutex &libraryMutex();

} // namespace HamlibModels
