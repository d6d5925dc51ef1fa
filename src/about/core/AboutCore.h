// AboutCore: the About component's texts and showing rules, whatever toolkit draws the box.
//
// Responsibilities: keep the texts and the timer option that the host gives (plain stored values: a write
// replaces the value and does nothing else). Execute makes a fresh box from the layout and the current
// values, shows it modally and releases it when it closes, also when making, filling or showing it fails
// and when the component goes away during the showing. With Timer on, a showing that nobody ends closes
// itself after 15 seconds; each countdown acts only on the box of its own showing. A request while a box
// is on screen (the tray menu stays usable during the modal showing) brings that box to the front and
// returns at once; it never opens a second box.
// Collaborations: the face (AboutFace) owns its core, makes and shows the boxes and runs the countdown,
// whose expiry it hands back to countdownExpired.
// Threads: the GUI thread; the showing runs the face's nested event loop, through which the countdown and
// further requests arrive.
#pragma once

#include "about/core/AboutFace.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

class AboutCore {
public:
    static constexpr int DefaultCountdownMs = 15000;

    explicit AboutCore(AboutFace &face);
    // Ends a showing that is still on: its Execute then releases the box and touches nothing of the core.
    ~AboutCore();

    AboutCore(const AboutCore &) = delete;
    AboutCore &operator=(const AboutCore &) = delete;

    const std::string &Title() const { return m_texts.title; }
    void setTitle(std::string value) { m_texts.title = std::move(value); }
    const std::string &ProductName() const { return m_texts.productName; }
    void setProductName(std::string value) { m_texts.productName = std::move(value); }
    const std::string &CopyRight() const { return m_texts.copyRight; }
    void setCopyRight(std::string value) { m_texts.copyRight = std::move(value); }
    const std::string &Programmer() const { return m_texts.programmer; }
    void setProgrammer(std::string value) { m_texts.programmer = std::move(value); }
    const std::string &WebSite() const { return m_texts.webSite; }
    void setWebSite(std::string value) { m_texts.webSite = std::move(value); }

    // All the texts at once, as the host hands them over.
    void setTexts(AboutTexts value) { m_texts = std::move(value); }

    bool Timer() const { return m_timerOption; }
    void setTimer(bool value) { m_timerOption = value; }

    // How long a showing with Timer on stays up. Only tests shorten it.
    int countdownInterval() const { return m_countdownMs; }
    void setCountdownInterval(int ms) { m_countdownMs = ms; }

    // Shows the box modally and returns when it has closed; with a box already on screen, raises that box
    // and returns at once. Errors while making, filling or showing pass to the caller after the box is
    // released.
    void Execute();

    // The face's countdown for that showing ran out: closes its box, if that showing is still on and its
    // countdown was not stopped.
    void countdownExpired(std::uint64_t showing);

private:
    void endShowing(std::uint64_t showing) noexcept;

    AboutFace &m_face;
    AboutTexts m_texts;
    bool m_timerOption = false;
    int m_countdownMs = DefaultCountdownMs;
    // The box of the showing on screen, owned by that showing's Execute.
    AboutFace::Box *m_box = nullptr;
    // Numbers the showings, so that a countdown knows its own; 0 is none.
    std::uint64_t m_showings = 0;
    std::uint64_t m_countdownOf = 0;
    // Expires with the core: tells a showing whose component went away to touch nothing of it.
    std::shared_ptr<const bool> m_alive = std::make_shared<const bool>(true);
};
