#include "about/core/AboutCore.h"

#include <utility>

namespace {

// Runs a function when the scope it guards ends, however it ends.
template <typename F> class OnExit {
public:
    explicit OnExit(F f) : m_f(std::move(f)) {}
    ~OnExit() { m_f(); }
    OnExit(const OnExit &) = delete;
    OnExit &operator=(const OnExit &) = delete;

private:
    F m_f;
};

} // namespace

AboutCore::AboutCore(AboutFace &face) : m_face(face)
{
}

AboutCore::~AboutCore()
{
    // The owner may go away inside the nested loop of a showing. Ending that showing lets Execute unwind;
    // it releases the box itself. The face stops its own countdown as it goes.
    if (m_box)
        m_box->close();
}

void AboutCore::Execute()
{
    if (m_box) {
        m_box->raise();
        return;
    }

    // The box belongs to this showing, not to the component, so it is released exactly once, here, when this
    // frame ends: normally, by an error, or after the component went away during the showing. The guard
    // below runs first and touches the component only while it still exists.
    const std::unique_ptr<AboutFace::Box> box = m_face.createBox();
    const std::uint64_t showing = ++m_showings;
    m_box = box.get();
    const OnExit end([this, showing, alive = std::weak_ptr<const bool>(m_alive)]() noexcept {
        if (!alive.expired())
            endShowing(showing);
    });

    box->fill(m_texts);
    if (m_timerOption) {
        m_countdownOf = showing;
        m_face.startCountdown(m_countdownMs, showing);
    }
    box->showModal();
}

void AboutCore::countdownExpired(std::uint64_t showing)
{
    if (showing == 0 || showing != m_countdownOf)
        return;
    m_countdownOf = 0;
    m_face.stopCountdown();
    if (m_box)
        m_box->close();
}

void AboutCore::endShowing(std::uint64_t showing) noexcept
{
    if (m_countdownOf == showing) {
        m_countdownOf = 0;
        m_face.stopCountdown();
    }
    m_box = nullptr;
}
