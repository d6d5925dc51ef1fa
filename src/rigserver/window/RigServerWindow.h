// RigServerWindow: the rig server's settings window ("OmniRig Settings"), one page per rig.
//
// Responsibilities: show the rigs' current settings whenever it is opened; Apply (and OK) write the rigs
// that changed to the settings file and reconfigure just those rigs, and only once their settings reached
// the file; Cancel, Escape and closing the window drop the edits. A value that cannot be saved keeps
// everything as it was, with the reason beside the field; a failed write is reported in the window.
// Collaborations: RigServer owns it as its SettingsDialog, made on first use by the maker that
// RigServerFactory gives the server, and raises the visible-change event when it is shown or hidden;
// RigSettingsForm per rig; RigServerSettings and IniFile write the file; each rig's RigShare says how many
// programs use the rig.
// Threads: GUI thread. It reads the rigs' cached state only, so it never waits for a radio.
#pragma once

#include "rigserver/core/SettingsDialog.h"

#include <QSize>
#include <QWidget>

#include <array>

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

    explicit RigServerWindow(RigServer *server);

    QObject *object() override { return this; }
    bool isShown() const override { return isVisible(); }
    void setShown(bool shown) override;

protected:
    void showEvent(QShowEvent *event) override;

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
    QTabWidget *m_tabs;
    std::array<RigSettingsForm *, 2> m_forms{};
    QLabel *m_message;
    QDialogButtonBox *m_buttons;
    bool m_placed = false;
};
