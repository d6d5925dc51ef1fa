// AboutFace: what the About component's showing rules ask of the toolkit that draws the box.
//
// Responsibilities: make a box from its fixed layout, fill it, show it modally, bring it to the front or
// close it; run one one-shot countdown at a time. Texts are UTF-8. The icon is the face's own business: it
// puts its copy of the component's icon into the box when filling it.
// Collaborations: AboutCore calls it; each face (the Qt TAboutDlg, the Win32 one) implements it and owns the
// AboutCore that calls it, so the face outlives its core. A box lives on the stack of the showing that made
// it, not in the face: destroying it releases the box, also after the face and the core have gone.
// Threads: the GUI thread.
#pragma once

#include "about/core/AboutTexts.h"

#include <cstdint>
#include <memory>

class AboutFace {
public:
    // One About box, for one showing. Destroying it releases the box, whatever state it is in.
    class Box {
    public:
        virtual ~Box() = default;
        // The window title and the four labels, each text exactly as given, and the face's icon.
        virtual void fill(const AboutTexts &texts) = 0;
        // Shows the box modally and returns its result once it has closed (OK is 1).
        virtual int showModal() = 0;
        virtual void raise() = 0;
        // Ends the modal showing, as the frame's close control does.
        virtual void close() = 0;
    };

    virtual ~AboutFace() = default;

    // A fresh box from the layout, neither filled nor shown. Throws when it cannot be made.
    virtual std::unique_ptr<Box> createBox() = 0;

    // Starts the one countdown: after milliseconds it calls AboutCore::countdownExpired(showing) once,
    // unless stopped first. A start while one runs replaces it.
    virtual void startCountdown(int milliseconds, std::uint64_t showing) = 0;
    virtual void stopCountdown() noexcept = 0;
};
