// RigServerWindow: the rig server's settings window ("OmniRig Settings"), one page per rig.
//
// Responsibilities: show the rigs' current settings whenever it is opened; Apply (and OK) have the server
// save and reconfigure the rigs that changed, and only those; Cancel, Escape and closing the window drop the
// edits. A value that cannot be saved keeps everything as it was, with the reason beside the field; a failed
// write is reported in the window. Tells the server of every showing and hiding.
// Collaborations: RigServer owns it as its SettingsDialog, made on first use by the maker that
// RigServerFactory gives the server, which also hands it the model catalogue; the server saves the settings
// and raises the visible-change event; RigSettingsForm per rig; each rig's RigShare says how many programs
// use the rig.
// Threads: GUI thread. It reads the rigs' cached state only, so it never waits for a radio.
#pragma once

#include "rigserver/core/RigModelCatalogue.h"
#include "rigserver/core/SettingsDialog.h"

#include <QSize>
#include <QWidget>

#include <array>
#include <memory>

class QDialogButtonBox;
class QLabel;
class QTabWidget;
class RigServer;
class RigSettingsForm;

class RigServerWindow final : public QWidget, public SettingsDialog {
    Q_OBJECT

public:
    // Small enough to stand beside the panel on a 1024 x 768 screen.
    static constexpr QSize FirstSize{460, 640};

    // models offers the radios a rig can be set to.
    RigServerWindow(RigServer *server, std::shared_ptr<const RigModelCatalogue> models);

    bool isShown() const override { return isVisible(); }
    void setShown(bool shown) override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // Saves and reconfigures the rigs whose settings were changed. False when a rig's settings could not
    // be saved: a value was refused or the file could not be written; the window says why.
    bool apply();
    void load();
    void accept();
    void showRig(int rigNumber);
    void showShare(int rigNumber);
    void updateChanges();
    void say(const QString &text, bool problem);
    // On its first showing the window stands beside the one it was opened from, where the screen allows.
    void placeBeside(const QWidget *other);
    RigSettingsForm *form(int rigNumber) const { return m_forms[rigNumber == 1 ? 0 : 1]; }

    RigServer *m_server;
    std::shared_ptr<const RigModelCatalogue> m_models;
    QTabWidget *m_tabs;
    std::array<RigSettingsForm *, 2> m_forms{};
    QLabel *m_message;
    QDialogButtonBox *m_buttons;
    bool m_placed = false;
};
