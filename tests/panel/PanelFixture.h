// What the panel's tests share: a panel started in a temporary folder on a fake rig server, with every
// message box recorded and answered instead of shown, and a look at its controls and its file.
#pragma once

#include "FakeOmniRig.h"
#include "led/qt/AMAdvLed.h"
#include "panel/qt/MessageBoxes.h"
#include "panel/qt/SpeedButton.h"
#include "panel/qt/TrackBar.h"
#include "panel/qt/VE2Z.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTemporaryDir>

#include <memory>
#include <vector>

// Records each box while it lives; answers with answer (OK unless a test says otherwise).
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    std::vector<MessageBoxes::Request> shown;
    // The boxes shown without waiting for an answer.
    std::vector<MessageBoxes::Request> notes;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    // "caption|text" of each box, for comparisons that print well.
    QStringList lines() const;

private:
    MessageBoxes::Handler m_previous;
    MessageBoxes::NoteHandler m_previousNote;
};

class PanelFixture {
public:
    PanelFixture();
    ~PanelFixture();

    // Gives each test process its own instance name and runtime folder, so tests run side by side and beside
    // the program.
    static void initProcess();

    QString folder() const { return m_dir.path(); }
    QString iniPath() const;
    void writeIni(const QByteArray &bytes) const;
    QByteArray iniBytes() const;

    // Starts the panel with "-F <iniPath>" (or the given arguments after the program's name) and shows it
    // unless start-up ended the program.
    TSO2VPanel &start();
    TSO2VPanel &start(const QStringList &arguments);
    TSO2VPanel &panel() const { return *m_panel; }
    void stop() { m_panel.reset(); }

    FakeOmniRig &server() const { return *factory->server; }
    // The rig calls of the server's log ("Rig1.Freq", "Rig2.Freq=..."), without the Rig1/Rig2 look-ups.
    QStringList rigCalls() const;

    // A control of the panel by its name ("Shift", "TrackRig1").
    template <typename Control = QWidget> Control *child(const char *name) const
    {
        return m_panel->findChild<Control *>(QLatin1String(name));
    }
    TrackBar *shift() const { return child<TrackBar>("Shift"); }
    QCheckBox *rit() const { return child<QCheckBox>("RIT"); }
    QLabel *shiftHz() const { return child<QLabel>("ShiftHZ"); }
    QRadioButton *radio(const char *name) const { return child<QRadioButton>(name); }
    SpeedButton *button(const char *name) const { return child<SpeedButton>(name); }
    QLabel *label(const char *name) const { return child<QLabel>(name); }
    TAMAdvLed *led(const char *name) const { return child<TAMAdvLed>(name); }

    std::shared_ptr<FakeOmniRigFactory> factory = std::make_shared<FakeOmniRigFactory>();
    MessageRecorder messages;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TSO2VPanel> m_panel;
};

// The settings file as the panel writes it.
QByteArray iniText(const QString &offset, const QString &shift, const QString &track);
