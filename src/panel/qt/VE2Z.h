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
#include "panel/core/PanelLayout.h"

#include <QStringList>
#include <QSystemTrayIcon>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class InstanceMarker;
class QCloseEvent;
class QMenu;
class QTimer;
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
    void changeEvent(QEvent *event) override;

private:
    // The core's view of the window; it reaches the controls below.
    class Face;
    class Timer;

    void createControls();
    QWidget *makeControl(const Panel::ControlLayout &layout);
    void connectControl(const Panel::ControlLayout &layout);
    QWidget *control(Panel::Control control) const;
    std::optional<Panel::Control> controlOf(const QWidget *widget) const;
    TAMAdvLed *led(Panel::Control control) const;
    TrackBar *shift() const;

    // By the layout's order.
    std::array<QWidget *, Panel::Controls.size()> m_controls{};

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
