// HamlibModelCatalogue: the model catalogue the settings window offers, every model this Hamlib knows.
// Collaborations: implements the core's RigModelCatalogue over HamlibModels; RigServerFactory hands it to the
// settings window.
// Threads: any; the list is read once, on first use.
#pragma once

#include "rigserver/core/RigModelCatalogue.h"

class HamlibModelCatalogue final : public RigModelCatalogue {
public:
    const std::vector<RigModel> &models() const override;
};
