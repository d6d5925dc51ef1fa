// TSO2VPanel: the program's only main window, "VE2Z", and all of the panel's logic.
//
// Responsibilities: lays out the 14 controls; runs start-up (FormCreate) from the settings file to the
// first status display; keeps the settings file in step with the controls; owns the rig-server client,
// the two LEDs, the About component, the system menu, the tray icon and its menu, the poll timer and the
// one-instance marker for the whole run; closing it gives the marker up and ends the program. Its handlers are named
// after the control and the event (A2BClick, ShiftChange, TrackRig1Click); each does what that control is for and may
// be called directly, as the menus do.
//
// Collaborations: TOmniRigX (the rig server, through the Qt-free IRigX), RigTransfer (the copies and
// tracking), PanelSettings (the file's rules), TrackBar (the offset slider), TAMAdvLed, TAboutDlg,
// InstanceMarker, MessageBoxes, SystemMenu. Every entry point runs through one HandlerGuard: a failure
// ends the handler and is shown, except in handlers run for server events, which stop and show nothing.
//
// Threads: GUI thread only. No call here waits for a radio: the rig server answers reads from its cache
// and queues writes.
#pragma once

#include "HandlerGuard.h"
#include "IniFile.h"
#include "PanelSettings.h"

#include <QStringList>
#include <QSystemTrayIcon>
#include <QWidget>

#include <memory>
#include <optional>

class ClickLabel;
class InstanceMarker;
class IRigX;
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
class TOmniRigX;
class TrackBar;

class TSO2VPanel : public QWidget {
    Q_OBJECT

public:
    static constexpr int PollIntervalMs = 5000;
    // The commands the panel adds to its system menu.
    static constexpr int CaliberCommand = 444;
    static constexpr int SettingsCommand = 555;
    static constexpr int AboutCommand = 666;

    // Runs FormCreate. arguments as QCoreApplication gives them, the program first.
    explicit TSO2VPanel(const QStringList &arguments, QWidget *parent = nullptr);
    ~TSO2VPanel() override;

    TSO2VPanel(const TSO2VPanel &) = delete;
    TSO2VPanel &operator=(const TSO2VPanel &) = delete;

    // Start-up decided that the program must end (another copy runs, or there is no rig server to load);
    // it has told the operator why. The window is not to be shown.
    bool startupEnded() const { return m_startupEnded; }

    // Start-up and settings.
    void SaveSettings();
    void AddTrayIcon();
    void SetTrayIcon(const QIcon &icon);
    void DeleteTrayIcon();

    // Rig status monitoring: the server's five events, the poll and the refresh they share.
    void OmniRigVisibleChange();
    void OmniRigRigTypeChange(int RigNumber);
    void OmniRigStatusChange(int RigNumber);
    void OmniRigParamsChange(int RigNumber, int Params);
    void OmniRigCustomReply(int RigNumber, const QVariant &Command, const QVariant &Reply);
    void TimerTick();
    void RefreshRigs();

    // Transfer and tracking.
    void A2BClick();
    void B2AClick();
    void SWAPClick();
    void FollowRig(IRigX *master, IRigX *follower);
    void TrackNoneClick();
    void TrackRig1Click();
    void TrackRig2Click();

    // Offset slider, RIT switch and calibration.
    void ShiftChange();
    void ShiftHZClick();
    void RITClick();
    void OffsetCaliber();

    // Menus and exit.
    void BuildMenus();
    // A system menu choice by its command number: a standard window command or one of the panel's three.
    void SystemCommandMessage(int command);
    void OmnirigVisible();
    void AboutClick();
    void ExitClick();
    void TrayIconMessage(QSystemTrayIcon::ActivationReason reason);

    // The offset the transfers apply now: the slider's offset while RIT is checked, else 0.
    int currentOffset() const;

    const QString &iniPath() const { return m_iniPath; }
    TOmniRigX *omniRigClient() const { return m_omniRigClient.get(); }
    IRigX *currentRig() const { return m_currentRig; }
    QSystemTrayIcon *trayIcon() const { return m_trayIcon; }
    QMenu *trayMenu() const { return m_trayMenu; }
    SystemMenu *systemMenu() const { return m_systemMenu; }
    TAboutDlg *aboutDialog() const { return m_aboutDialog; }
    QTimer *pollTimer() const { return m_pollTimer.get(); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void connectControls();
    void FormCreate();
    bool createOmniRigClient();
    void attachOmniRigEvents();
    void applyStored(const PanelSettings::Stored &stored);
    void fillAboutDialog();
    void releaseInstanceMark();
    std::optional<PanelSettings::Track> selectedTrack() const;
    void selectTrack(QRadioButton *button);
    void colourLed(TAMAdvLed *led, IRigX &rig, std::int32_t readable);
    IRigX *rigFor(int rigNumber);
    void followSelected();

    QStringList m_arguments;
    HandlerGuard m_guard;

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

    QString m_iniPath;
    IniFile m_iniFile{std::string()};
    // What the last save wrote; nothing before the first one, which always writes.
    std::optional<PanelSettings::Applied> m_saved;
    IRigX *m_currentRig = nullptr;
    std::unique_ptr<QTimer> m_pollTimer;
    SystemMenu *m_systemMenu = nullptr;
    QMenu *m_trayMenu = nullptr;
    QSystemTrayIcon *m_trayIcon = nullptr;
    TAboutDlg *m_aboutDialog = nullptr;
    InstanceMarker *m_instanceMapping = nullptr;
    // Declared last so that it goes first: it unsubscribes from the server before the controls go.
    std::unique_ptr<TOmniRigX> m_omniRigClient;
    bool m_startupEnded = false;
};
