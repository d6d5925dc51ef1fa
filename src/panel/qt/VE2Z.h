// TSO2VPanel: the program's only main window, "VE2Z", as Qt draws it: the panel's Qt face.
//
// Responsibilities: lays out the 14 controls and shows on them what the panel's core says; hands the core
// what the operator did (a click, a slider step, a menu choice, closing the window); keeps the tray icon and
// its menu, the system menu replica, the About component and the poll timer. It decides nothing: every
// decision, from start-up to the confirmed exit, is PanelCore's.
//
// Collaborations: PanelCore (the decisions), TAMAdvLed, TrackBar, SpeedButton, ClickLabel, TAboutDlg,
// SystemMenu, MessageBoxes, InstanceMarker (the platform's one-instance mark).
// Threads: GUI thread only. No call here waits for a radio.
#pragma once

#include "panel/core/PanelCore.h"

#include <QStringList>
#include <QSystemTrayIcon>
#include <QWidget>

#include <memory>

class ClickLabel;
class InstanceMarker;
class QCheckBox;
class QCloseEvent;
class QLabel;
class QMenu;
class QRadioButton;
class QTimer;
class SpeedButton;
class SystemMenu;
class TAboutDlg;
class TAMAdvLed;
class TrackBar;

class TSO2VPanel : public QWidget {
    Q_OBJECT

public:
    // Runs start-up. arguments as QCoreApplication gives them, the program first.
    explicit TSO2VPanel(const QStringList &arguments, QWidget *parent = nullptr);
    ~TSO2VPanel() override;

    TSO2VPanel(const TSO2VPanel &) = delete;
    TSO2VPanel &operator=(const TSO2VPanel &) = delete;

    // Start-up decided that the program must end (another copy runs, or there is no rig server to load);
    // it has told the operator why. The window is not to be shown.
    bool startupEnded() const { return m_core->startupEnded(); }

    Panel::PanelCore &core() const { return *m_core; }
    QSystemTrayIcon *trayIcon() const { return m_trayIcon; }
    QMenu *trayMenu() const { return m_trayMenu; }
    SystemMenu *systemMenu() const { return m_systemMenu; }
    TAboutDlg *aboutDialog() const { return m_aboutDialog; }
    QTimer *pollTimer() const { return m_pollTimer.get(); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The core's view of the window; it reaches the controls below.
    class Face;
    class Timer;

    void createControls();
    void connectControls();
    QWidget *control(Panel::Control control) const;
    TAMAdvLed *led(Panel::Control control) const;

    SpeedButton *m_a2b = nullptr;
    SpeedButton *m_swap = nullptr;
    SpeedButton *m_b2a = nullptr;
    TAMAdvLed *m_rig1Led = nullptr;
    TAMAdvLed *m_rig2Led = nullptr;
    QLabel *m_rig1Label = nullptr;
    QLabel *m_rig2Label = nullptr;
    QLabel *m_omniRigLabel = nullptr;
    ClickLabel *m_shiftHz = nullptr;
    TrackBar *m_shift = nullptr;
    QCheckBox *m_rit = nullptr;
    QRadioButton *m_trackNone = nullptr;
    QRadioButton *m_trackRig1 = nullptr;
    QRadioButton *m_trackRig2 = nullptr;

    SystemMenu *m_systemMenu = nullptr;
    QMenu *m_trayMenu = nullptr;
    QSystemTrayIcon *m_trayIcon = nullptr;
    TAboutDlg *m_aboutDialog = nullptr;
    // No QObject owner: the poll runs until the process ends, and the member frees it with the panel.
    std::unique_ptr<QTimer> m_pollTimer;
    std::unique_ptr<Face> m_face;
    std::unique_ptr<Timer> m_timer;
    std::unique_ptr<InstanceMarker> m_instanceMapping;
    // While the core sets a control, the control's own signals are not the operator's.
    bool m_showing = false;
    // Last, so that it goes first: it unsubscribes from the server before the controls go.
    std::unique_ptr<Panel::PanelCore> m_core;
};
