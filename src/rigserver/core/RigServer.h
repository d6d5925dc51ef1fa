// RigServer: our stand-in for OmniRig, an IOmniRigX over two rig objects.
//
// Responsibilities: read the rig settings, own Rig1 and Rig2 (the same objects for the server's whole
// life), start polling when the first client subscribes, fan every event out to the subscribed sinks,
// and show or hide the settings window.
// Collaborations: RigObject per rig; RigServerFactory hands the running server to clients.
// Threads: GUI thread; sinks are called on it.
#pragma once

#include "OmniRig_TLB.h"
#include "RigObject.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <memory>
#include <utility>
#include <vector>

class QWidget;

class RigServer final : public QObject, public IOmniRigX {
    Q_OBJECT

public:
    // Reads the settings from settingsPath; a missing or broken file gives the defaults.
    explicit RigServer(QString settingsPath, BackendFactory factory = {});
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
    // Gives a rig new settings; a rig whose settings are unchanged is left alone.
    void reconfigure(int rigNumber, const RigSettings &settings);

    // The window that stands in for the settings dialog; made on first use.
    QWidget *settingsWindow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    template <typename Call> void raise(Call call);

    QString m_settingsPath;
    std::array<std::unique_ptr<RigObject>, 2> m_rigs;
    std::vector<std::pair<int, IOmniRigXEvents *>> m_sinks;
    int m_nextCookie = 1;
    bool m_started = false;
    QPointer<QWidget> m_window;
};
