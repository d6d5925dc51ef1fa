#include "rigserver/backends/HamlibRig.h"

#include "rigserver/backends/HamlibModels.h"

#include <hamlib/rig.h>

#include <mutex>
#include <type_traits>

// The capabilities Hamlib sees for one handle: a copy of its model's, first, so that the pointer Hamlib
// holds is also a pointer to the whole, with the model's own open and close beside it.
struct HamlibRig::GuardedCaps {
    rig_caps caps;
    int (*modelOpen)(RIG *);
    int (*modelClose)(RIG *);
};

namespace {

static_assert(std::is_standard_layout_v<HamlibRig::GuardedCaps>);

// What this thread is doing in Hamlib: the model's open and close only step around the gate when called
// from our own rig_open and rig_close, never when a back end reopens its radio by itself.
enum class Phase { None, Opening, Closing };
thread_local Phase t_phase = Phase::None;
thread_local bool t_holding = false;

// Held while Hamlib may change its list of opened rigs. Never taken on the GUI thread.
std::mutex &gate()
{
    static std::mutex mutex;
    return mutex;
}

void enterGate()
{
    gate().lock();
    t_holding = true;
}

void leaveGate()
{
    if (t_holding) {
        t_holding = false;
        gate().unlock();
    }
}

const HamlibRig::GuardedCaps &guardedCaps(const RIG *rig)
{
    return *reinterpret_cast<const HamlibRig::GuardedCaps *>(rig->caps);
}

// rig_open has opened the port and put the rig on its list; the model's open talks to the radio.
int openBesideGate(RIG *rig)
{
    const auto modelOpen = guardedCaps(rig).modelOpen;
    const bool gated = t_phase == Phase::Opening && t_holding;
    if (gated)
        leaveGate();
    const int result = modelOpen ? modelOpen(rig) : RIG_OK;
    // On failure rig_open takes the rig off its list next; on success it does not touch the list again.
    if (gated && result != RIG_OK)
        enterGate();
    return result;
}

// rig_close closes the port and takes the rig off its list once the model's close has talked to the radio.
int closeBesideGate(RIG *rig)
{
    const auto modelClose = guardedCaps(rig).modelClose;
    const int result = modelClose ? modelClose(rig) : RIG_OK;
    if (t_phase == Phase::Closing && !t_holding)
        enterGate();
    return result;
}

class PhaseScope {
public:
    explicit PhaseScope(Phase phase) { t_phase = phase; }
    ~PhaseScope()
    {
        leaveGate();
        t_phase = Phase::None;
    }
    PhaseScope(const PhaseScope &) = delete;
    PhaseScope &operator=(const PhaseScope &) = delete;
};

} // namespace

HamlibRig::HamlibRig(int model)
{
    HamlibModels::silenceLibrary();
    std::lock_guard lock(HamlibModels::libraryMutex());
    m_rig = rig_init(static_cast<rig_model_t>(model));
    if (!m_rig)
        return;
    const rig_caps &modelCaps = *m_rig->caps;
    m_caps.reset(new GuardedCaps{modelCaps, modelCaps.rig_open, modelCaps.rig_close});
    m_caps->caps.rig_open = &openBesideGate;
    m_caps->caps.rig_close = &closeBesideGate;
    m_rig->caps = &m_caps->caps;
}

HamlibRig::~HamlibRig()
{
    if (!m_rig)
        return;
    close();
    std::lock_guard lock(HamlibModels::libraryMutex());
    rig_cleanup(m_rig);
}

int HamlibRig::open()
{
    const PhaseScope scope(Phase::Opening);
    enterGate();
    return rig_open(m_rig);
}

void HamlibRig::close()
{
    const PhaseScope scope(Phase::Closing);
    rig_close(m_rig);
}
