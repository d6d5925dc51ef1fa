// SettingsDialog: the rig server's settings window as the server sees it.
//
// Responsibilities: say whether the window is shown, show it in front of the others or hide it, and tell
// whoever listens each time it appeared or went away, however that came about (the server, the operator, the
// window manager).
// Collaborations: RigServer makes it on first use through the maker it was given, owns it, shows and hides
// it for DialogVisible and SetDialogVisible, and raises OnVisibleChange from the callback it hands it. The
// window layer (rigserver/window) implements it, so the server's folder needs no widget toolkit.
// Threads: GUI thread.
#pragma once

#include <functional>
#include <memory>

class RigServer;

class SettingsDialog {
public:
    virtual ~SettingsDialog() = default;

    virtual bool isShown() const = 0;
    // Showing also raises the window and makes it the active one.
    virtual void setShown(bool shown) = 0;

    // changed is called on every showing and hiding of the window from now on.
    void onShownChanged(std::function<void()> changed) { m_shownChanged = std::move(changed); }

protected:
    // The window calls it as it is shown or hidden.
    void shownChanged() const
    {
        if (m_shownChanged)
            m_shownChanged();
    }

private:
    std::function<void()> m_shownChanged;
};

// Makes the settings window of a server; called once, when a client first asks for the window.
using SettingsDialogMaker = std::function<std::unique_ptr<SettingsDialog>(RigServer &server)>;
