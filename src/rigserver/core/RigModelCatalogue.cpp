#include "rigserver/core/RigModelCatalogue.h"

#include <algorithm>

const RigModel *RigModelCatalogue::find(int model) const
{
    const auto &list = models();
    const auto it = std::lower_bound(list.begin(), list.end(), model,
                                     [](const RigModel &entry, int number) { return entry.model < number; });
    return it != list.end() && it->model == model ? &*it : nullptr;
}
