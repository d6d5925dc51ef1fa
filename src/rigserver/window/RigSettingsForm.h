// RigSettingsForm: one rig's page of the settings window: the radio model, its port, speed, poll interval,
// timeout, whether it is enabled, further Hamlib settings, whether other programs may use the rig and on
// which port, and the rig's live status with the number of programs connected to it and turned away. A
// value that cannot be saved gets its message beside the field as soon as it is entered. The address the
// rig is shared on is only in the settings file: it is kept as loaded.
// Collaborations: RigServerWindow fills it from the rig's settings and saves what settings() gives.
// Threads: GUI thread.
#pragma once

#include "rigserver/core/RigModelCatalogue.h"
#include "rigserver/core/RigSettings.h"

#include <QWidget>

#include <map>

class ModelPicker;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class SerialPortBox;
struct FieldCheck;
struct RigState;

class RigSettingsForm final : public QWidget {
    Q_OBJECT

public:
    // models, which outlives the form, offers the radios and says how each is reached.
    RigSettingsForm(int rigNumber, const RigModelCatalogue &models, QWidget *parent = nullptr);

    int rigNumber() const { return m_rigNumber; }
    // Shows settings; the form's values are compared with them to tell what changed.
    void setSettings(const RigSettings &settings);
    const RigSettings &loaded() const { return m_loaded; }
    // The settings as entered. A value the chosen model does not use (a port for the Dummy rig, a speed
    // for a network model) keeps what was loaded while the model is the loaded one, so merely looking
    // at a rig never counts as a change.
    RigSettings settings() const;
    // Updates every field's message; false when a value cannot be saved.
    bool check();
    void showState(const RigState &state);
    // How the rig is shared as applied (settings), with the share's live counts of the programs connected and
    // turned away, and its problem.
    void showShare(const RigSettings &applied, int clients, int turnedAway, const QString &problem);
    void focusSearch();

signals:
    void edited();

private:
    void buildLayout();
    void modelChosen(int model);
    void showPortKind();
    void fillSpeeds();
    void changed();
    bool mark(QLabel *label, const FieldCheck &check, const QString &note = {});

    int m_rigNumber;
    const RigModelCatalogue &m_models;
    RigSettings m_loaded;
    RigModel::Port m_kind = RigModel::Port::None;
    // The port typed for each kind of port, so trying a network model and going back loses no device name.
    std::map<RigModel::Port, QString> m_portTexts;
    int m_speed = 0;                       // the speed last chosen, kept over models that cannot use it
    int m_model = RigSettings::DummyModel; // the model the fields were last set up for

    ModelPicker *m_picker;
    QLabel *m_modelMessage;
    SerialPortBox *m_port;
    QLabel *m_portMessage;
    QComboBox *m_speedBox;
    QLabel *m_speedMessage;
    QSpinBox *m_poll;
    QLabel *m_pollMessage;
    QSpinBox *m_timeout;
    QLabel *m_timeoutMessage;
    QCheckBox *m_enabled;
    QLineEdit *m_conf;
    QLabel *m_confMessage;
    QCheckBox *m_share;
    QSpinBox *m_sharePort;
    QLabel *m_status;
    QLabel *m_rigType;
    QLabel *m_shareClients;
};
