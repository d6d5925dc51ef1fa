#include "rigserver/backends/HamlibModelCatalogue.h"

#include "rigserver/backends/HamlibModels.h"

const std::vector<RigModel> &HamlibModelCatalogue::models() const
{
    return HamlibModels::models();
}
