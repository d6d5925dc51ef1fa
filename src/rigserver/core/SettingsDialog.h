// SettingsDialog: the rig server's settings window as the server sees it.
//
// Responsibilities: say whether the window is shown, show it in front of the others or hide it, and give
// the object whose Show and Hide events tell that it appeared or went away.
// Collaborations: RigServer makes it on first use through the maker it was given, owns it, shows and hides
// it for DialogVisible and SetDialogVisible, and raises OnVisibleChange on its Show and Hide events. The
// window layer (rigserver/window) implements it, so the server's folder needs no widget toolkit.
// Threads: GUI thread.
#pragma once

#include <functional>
#include <memory>

class QObject;
class RigServer;

class SettingsDialog {
public:
    virtual ~SettingsDialog() = default;

    // The window itself, as the object that receives its Show and Hide events.
    virtual QObject *object() = 0;
    virtual bool isShown() const = 0;
    // Showing also raises the window and makes it the active one.
    virtual void setShown(bool shown) = 0;
};

// Makes the settings window of a server; called once, when a client first asks for the window.
using SettingsDialogMaker = std::function<std::unique_ptr<SettingsDialog>(RigServer &server)>;
