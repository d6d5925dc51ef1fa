#include "rigserver/backends/HamlibModels.h"

#include <hamlib/rig.h>

#include <algorithm>
#include <cstdarg>

namespace {

RigModel::Port portOf(rig_port_t type)
{
    switch (type) {
    case RIG_PORT_NONE:
        return RigModel::Port::None;
    case RIG_PORT_SERIAL:
        return RigModel::Port::Serial;
    case RIG_PORT_NETWORK:
    case RIG_PORT_UDP_NETWORK:
        return RigModel::Port::Network;
    case RIG_PORT_DEVICE:
    case RIG_PORT_PARALLEL:
        return RigModel::Port::Device;
    case RIG_PORT_USB:
        return RigModel::Port::Usb;
    default:
        return RigModel::Port::Other;
    }
}

int collectModel(const rig_caps *caps, rig_ptr_t data)
{
    auto &list = *static_cast<std::vector<RigModel> *>(data);
    RigModel entry;
    entry.model = static_cast<int>(caps->rig_model);
    entry.manufacturer = caps->mfg_name ? caps->mfg_name : "";
    entry.name = caps->model_name ? caps->model_name : "";
    entry.port = portOf(caps->port_type);
    entry.serialRateMin = caps->serial_rate_min;
    entry.serialRateMax = caps->serial_rate_max;
    list.push_back(std::move(entry));
    return 1; // go on
}

int quietLog(enum rig_debug_level_e, rig_ptr_t, const char *, va_list)
{
    return 0;
}

} // namespace

namespace HamlibModels {

std::mutex &libraryMutex()
{
    static std::mutex mutex;
    return mutex;
}

void silenceLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        rig_set_debug(RIG_DEBUG_NONE);
        rig_set_debug_callback(quietLog, nullptr);
    });
}

std::string shortName(int model)
{
    silenceLibrary();
    std::lock_guard lock(libraryMutex());
    rig_check_backend(static_cast<rig_model_t>(model));
    const rig_caps *caps = rig_get_caps(static_cast<rig_model_t>(model));
    if (!caps)
        return {};
    // The panel's labels are sized for a model's name alone; the maker is in the settings window's catalogue.
    if (caps->model_name && *caps->model_name)
        return caps->model_name;
    return caps->mfg_name ? caps->mfg_name : "";
}

const std::vector<RigModel> &models()
{
    silenceLibrary();
    static const std::vector<RigModel> list = [] {
        std::vector<RigModel> all;
        std::lock_guard lock(libraryMutex());
        rig_load_all_backends();
        rig_list_foreach(collectModel, &all);
        std::sort(all.begin(), all.end(), [](const auto &a, const auto &b) { return a.model < b.model; });
        return all;
    }();
    return list;
}

} // namespace HamlibModels
