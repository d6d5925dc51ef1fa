// LedFace: what the LED's rules ask of the toolkit that draws it.
//
// Responsibilities: redraw the LED at once when the core asks, with the pixels that LedCore::paint gives.
// Collaborations: LedCore calls it; each face (the Qt widget, the Win32 control) implements it and owns the
// LedCore that calls it, so the face outlives its core.
// Threads: the GUI thread.
#pragma once

class LedFace {
public:
    virtual ~LedFace() = default;

    // Paints the LED now, before returning, when it can be seen; otherwise does nothing, and the next
    // regular paint shows the current state. Also called while the core is being constructed, before the
    // LED can be seen.
    virtual void redrawNow() = 0;
};
