// RigServer: our stand-in for OmniRig, an IOmniRigX over two rig objects.
//
// Responsibilities: read the rig settings, own Rig1 and Rig2 (the same objects for the server's whole
// life), start polling when the first client subscribes, fan every event out to the subscribed sinks,
// save a rig's new settings and reconfigure it with them, and show or hide the settings window.
// Collaborations: RigObject per rig, whose back ends come from the RigBackendFactory it is given; the
// settings window comes from the SettingsDialogMaker it is given, and each rig's share with other programs
// from the RigShareMaker. RigServerFactory wires them in and hands the running server to clients.
// Threads: GUI thread; sinks are called on it.
#pragma once

#include "omnirig/OmniRig_TLB.h"
#include "rigserver/core/RigBackendFactory.h"
#include "rigserver/core/RigObject.h"
#include "rigserver/core/RigShare.h"
#include "rigserver/core/SettingsDialog.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <utility>
#include <vector>

class RigServer final : public QObject, public IOmniRigX {
    Q_OBJECT

public:
    // Reads the settings from settingsPath; a missing or broken file gives the defaults. backends makes the
    // radios' back ends and must not be null; without makeDialog the server has no settings window, and
    // without makeShare its rigs are never shared.
    RigServer(QString settingsPath, std::shared_ptr<const RigBackendFactory> backends,
              SettingsDialogMaker makeDialog = {}, RigShareMaker makeShare = {});
    ~RigServer() override;

    IRigX *Rig1() override { return m_rigs[0].get(); }
    IRigX *Rig2() override { return m_rigs[1].get(); }
    bool DialogVisible() override;
    void SetDialogVisible(bool visible) override;
    int Advise(IOmniRigXEvents *sink) override;
    void Unadvise(int cookie) override;

    const QString &settingsPath() const { return m_settingsPath; }
    // rigNumber 1 or 2.
    RigObject *rig(int rigNumber) const { return m_rigs[rigNumber == 1 ? 0 : 1].get(); }
    // The rig's share with other programs; null without a maker.
    RigShare *share(int rigNumber) const { return m_shares[rigNumber == 1 ? 0 : 1].get(); }
    // Gives a rig new settings; a rig whose settings are unchanged is left alone.
    void reconfigure(int rigNumber, const RigSettings &settings);
    // Writes a rig's settings to the settings file and, once they are there, reconfigures the rig with them.
    // Throws IniWriteError when the file cannot be written; the rig then keeps the settings it has.
    void applySettings(int rigNumber, const RigSettings &settings);

    // The window that stands in for the settings dialog; made on first use. Null without a maker.
    SettingsDialog *settingsWindow();

private:
    template <typename Call> void raise(Call call);

    QString m_settingsPath;
    std::array<std::unique_ptr<RigObject>, 2> m_rigs;
    std::array<std::unique_ptr<RigShare>, 2> m_shares; // declared after the rigs: gone before them
    std::vector<std::pair<int, IOmniRigXEvents *>> m_sinks;
    int m_nextCookie = 1;
    bool m_started = false;
    SettingsDialogMaker m_makeDialog;
    std::unique_ptr<SettingsDialog> m_window;
};
