#include "rigserver/window/RigSettingsForm.h"

#include "rigserver/core/RigState.h"
#include "rigserver/window/ModelPicker.h"
#include "rigserver/window/RigSettingsCheck.h"
#include "rigserver/window/SerialPortBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLabel *messageLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->hide();
    return label;
}

// A field with its message right under it, so the message is read together with the value it is about.
QWidget *withMessage(QWidget *field, QLabel *message)
{
    auto *box = new QWidget(field->parentWidget());
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(field);
    layout->addWidget(message);
    box->setFocusProxy(field); // so the row label's shortcut reaches the field
    return box;
}

QSpinBox *millisecondsBox(QWidget *parent, const QString &name, int step)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(name);
    // Wider than the allowed range: a value typed outside it is shown with a message, not silently corrected.
    box->setRange(0, 999999);
    box->setSingleStep(step);
    box->setSuffix(QStringLiteral(" ms"));
    box->setAccelerated(true);
    return box;
}

QString statusColour(std::int32_t status)
{
    switch (status) {
    case OmniRig::ST_ONLINE:
        return QStringLiteral("#1b7f2a");
    case OmniRig::ST_PORTBUSY:
    case OmniRig::ST_NOTRESPONDING:
        return QStringLiteral("#b00020");
    default:
        return QStringLiteral("#6b6b6b");
    }
}

QString portPlaceholder(int model, RigModel::Port kind)
{
    switch (kind) {
    case RigModel::Port::Serial:
        return QStringLiteral("/dev/ttyUSB0");
    case RigModel::Port::Network:
        return model == RigSettings::RigctldModel ? QStringLiteral("localhost:4532")
                                                  : QStringLiteral("host:port (empty: Hamlib's default)");
    case RigModel::Port::Device:
    case RigModel::Port::Usb:
    case RigModel::Port::Other:
        return QStringLiteral("empty: Hamlib's default");
    case RigModel::Port::None:
        break;
    }
    return QStringLiteral("Not used by this model");
}

} // namespace

RigSettingsForm::RigSettingsForm(int rigNumber, const RigModelCatalogue &models, QWidget *parent)
    : QWidget(parent), m_rigNumber(rigNumber), m_models(models), m_picker(new ModelPicker(models, this)),
      m_modelMessage(messageLabel(this, QStringLiteral("ModelMessage"))), m_port(new SerialPortBox(this)),
      m_portMessage(messageLabel(this, QStringLiteral("PortMessage"))), m_speedBox(new QComboBox(this)),
      m_speedMessage(messageLabel(this, QStringLiteral("SpeedMessage"))),
      m_poll(millisecondsBox(this, QStringLiteral("PollMs"), 100)),
      m_pollMessage(messageLabel(this, QStringLiteral("PollMsMessage"))),
      m_timeout(millisecondsBox(this, QStringLiteral("TimeoutMs"), 500)),
      m_timeoutMessage(messageLabel(this, QStringLiteral("TimeoutMsMessage"))), m_enabled(new QCheckBox(this)),
      m_conf(new QLineEdit(this)), m_confMessage(messageLabel(this, QStringLiteral("ConfMessage"))),
      m_share(new QCheckBox(this)), m_sharePort(new QSpinBox(this)), m_status(new QLabel(this)),
      m_rigType(new QLabel(this)), m_shareClients(new QLabel(this))
{
    setObjectName(QStringLiteral("Rig%1").arg(rigNumber));
    m_picker->setObjectName(QStringLiteral("Model"));
    m_port->setObjectName(QStringLiteral("Port"));
    m_speedBox->setObjectName(QStringLiteral("Speed"));
    m_enabled->setObjectName(QStringLiteral("Enabled"));
    m_enabled->setText(QStringLiteral("Enabled"));
    m_enabled->setToolTip(QStringLiteral("Clear to leave this radio alone without losing its settings."));
    m_conf->setObjectName(QStringLiteral("Conf"));
    m_conf->setPlaceholderText(QStringLiteral("name=value;name=value"));
    m_conf->setToolTip(QStringLiteral("Further Hamlib settings, for example ptt_type=RIG;civaddr=0x94"));
    m_poll->setToolTip(QStringLiteral("How often the radio is asked for frequency, mode and transmit state."));
    m_timeout->setToolTip(QStringLiteral("How long an answer may take before the radio counts as not responding."));
    m_share->setObjectName(QStringLiteral("Share"));
    m_share->setText(QStringLiteral("Share this rig with other programs"));
    m_share->setToolTip(QStringLiteral("Loggers and digital-mode programs use the radio through Hamlib's NET "
                                       "rigctl (model 2) while VELKOR runs."));
    m_sharePort->setObjectName(QStringLiteral("SharePort"));
    m_sharePort->setRange(1, 65535);
    m_sharePort->setToolTip(QStringLiteral("The TCP port programs connect to, as they would to rigctld."));
    m_shareClients->setObjectName(QStringLiteral("ShareClients"));
    m_shareClients->setWordWrap(true);
    m_shareClients->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setObjectName(QStringLiteral("Status"));
    m_rigType->setObjectName(QStringLiteral("RigType"));
    m_rigType->setWordWrap(true);
    m_rigType->setTextInteractionFlags(Qt::TextSelectableByMouse);
    buildLayout();

    connect(m_picker, &ModelPicker::modelChanged, this, &RigSettingsForm::modelChosen);
    connect(m_picker, &ModelPicker::choiceMade, this, [this] {
        if (m_port->isEnabled())
            m_port->setFocus(Qt::TabFocusReason);
    });
    connect(m_port, &QComboBox::currentTextChanged, this, &RigSettingsForm::changed);
    connect(m_speedBox, &QComboBox::activated, this, [this] {
        m_speed = m_speedBox->currentData().toInt();
        changed();
    });
    connect(m_poll, &QSpinBox::valueChanged, this, &RigSettingsForm::changed);
    connect(m_timeout, &QSpinBox::valueChanged, this, &RigSettingsForm::changed);
    connect(m_enabled, &QCheckBox::toggled, this, &RigSettingsForm::changed);
    connect(m_conf, &QLineEdit::textChanged, this, &RigSettingsForm::changed);
    connect(m_share, &QCheckBox::toggled, this, [this](bool on) {
        m_sharePort->setEnabled(on);
        changed();
    });
    connect(m_sharePort, &QSpinBox::valueChanged, this, &RigSettingsForm::changed);
    setSettings(RigSettings{});
}

void RigSettingsForm::buildLayout()
{
    auto *radio = new QGroupBox(QStringLiteral("Radio"), this);
    auto *radioLayout = new QVBoxLayout(radio);
    radioLayout->addWidget(m_picker, 1);
    radioLayout->addWidget(m_modelMessage);

    auto *connection = new QGroupBox(QStringLiteral("Connection"), this);
    auto *form = new QFormLayout(connection);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(QStringLiteral("&Port:"), withMessage(m_port, m_portMessage));
    form->addRow(QStringLiteral("&Speed:"), withMessage(m_speedBox, m_speedMessage));
    form->addRow(QStringLiteral("P&oll every:"), withMessage(m_poll, m_pollMessage));
    form->addRow(QStringLiteral("&Timeout:"), withMessage(m_timeout, m_timeoutMessage));
    form->addRow(QStringLiteral("&Hamlib settings:"), withMessage(m_conf, m_confMessage));
    form->addRow(QString(), m_enabled);

    auto *sharing = new QGroupBox(QStringLiteral("Sharing"), this);
    auto *shareForm = new QFormLayout(sharing);
    shareForm->addRow(m_share);
    shareForm->addRow(QStringLiteral("TCP po&rt:"), m_sharePort);

    auto *now = new QGroupBox(QStringLiteral("Now"), this);
    auto *nowForm = new QFormLayout(now);
    nowForm->addRow(QStringLiteral("Status:"), m_status);
    nowForm->addRow(QStringLiteral("Rig type:"), m_rigType);
    nowForm->addRow(QStringLiteral("Shared:"), m_shareClients);

    // One column: the window is narrow enough to stand beside the panel on a small screen.
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(radio, 1);
    layout->addWidget(connection);
    layout->addWidget(sharing);
    layout->addWidget(now);
}

void RigSettingsForm::setSettings(const RigSettings &settings)
{
    m_loaded = settings;
    m_kind = RigSettingsCheck::portKind(m_models, settings.model);
    m_portTexts.clear();
    m_portTexts[m_kind] = QString::fromStdString(settings.port);
    m_speed = settings.speed;
    m_model = settings.model;
    m_picker->setModel(settings.model);
    {
        // Loading is not editing.
        const QSignalBlocker blockPort(m_port);
        const QSignalBlocker blockPoll(m_poll);
        const QSignalBlocker blockTimeout(m_timeout);
        const QSignalBlocker blockEnabled(m_enabled);
        const QSignalBlocker blockConf(m_conf);
        const QSignalBlocker blockShare(m_share);
        const QSignalBlocker blockSharePort(m_sharePort);
        showPortKind();
        m_port->refresh();
        m_poll->setValue(settings.pollMs);
        m_timeout->setValue(settings.timeoutMs);
        m_enabled->setChecked(settings.enabled);
        m_conf->setText(QString::fromStdString(settings.conf));
        m_share->setChecked(settings.share);
        m_sharePort->setValue(settings.sharePort);
        m_sharePort->setEnabled(settings.share);
    }
    check();
}

RigSettings RigSettingsForm::settings() const
{
    RigSettings s;
    s.model = m_picker->model();
    const bool loadedModel = s.model == m_loaded.model;
    const RigModel::Port kind = RigSettingsCheck::portKind(m_models, s.model);
    if (kind == RigModel::Port::None)
        s.port = loadedModel ? m_loaded.port : std::string();
    else
        s.port = m_port->currentText().trimmed().toStdString();
    if (kind == RigModel::Port::Serial)
        s.speed = m_speedBox->currentData().toInt();
    else
        s.speed = loadedModel ? m_loaded.speed : 0;
    s.pollMs = m_poll->value();
    s.timeoutMs = m_timeout->value();
    s.enabled = m_enabled->isChecked();
    s.conf = m_conf->text().trimmed().toStdString();
    s.share = m_share->isChecked();
    s.sharePort = m_sharePort->value();
    s.shareAddress = m_loaded.shareAddress;
    return s;
}

void RigSettingsForm::modelChosen(int model)
{
    m_portTexts[m_kind] = m_port->currentText();
    m_kind = RigSettingsCheck::portKind(m_models, model);
    {
        const QSignalBlocker block(m_port);
        showPortKind();
    }
    // Settings the last model needed go with it; what the operator typed stays for the next.
    if (m_conf->text().trimmed().toStdString() == RigSettings::neededConf(m_model)) {
        const QSignalBlocker block(m_conf);
        m_conf->setText(QString::fromStdString(RigSettings::neededConf(model)));
    }
    m_model = model;
    changed();
}

void RigSettingsForm::showPortKind()
{
    const int model = m_picker->model();
    const bool rig = model != RigSettings::NoRig;
    m_port->setListsPorts(m_kind == RigModel::Port::Serial);
    m_port->setEditText(m_portTexts[m_kind]);
    m_port->lineEdit()->setPlaceholderText(portPlaceholder(model, m_kind));
    m_port->setEnabled(m_kind != RigModel::Port::None);
    fillSpeeds();
    for (QWidget *field : {static_cast<QWidget *>(m_poll), static_cast<QWidget *>(m_timeout),
                           static_cast<QWidget *>(m_conf), static_cast<QWidget *>(m_enabled)})
        field->setEnabled(rig);
}

void RigSettingsForm::fillSpeeds()
{
    const int model = m_picker->model();
    const std::vector<int> speeds = RigSettingsCheck::supportedSpeeds(m_models, model);
    m_speedBox->clear();
    if (speeds.empty()) {
        m_speedBox->addItem(QStringLiteral("Not used by this model"), 0);
        m_speedBox->setEnabled(false);
        return;
    }
    // Hamlib opens a serial radio at its highest rate unless told otherwise.
    m_speedBox->addItem(QStringLiteral("Model default (%1 baud)").arg(speeds.back()), 0);
    for (const int speed : speeds)
        m_speedBox->addItem(QStringLiteral("%1 baud").arg(speed), speed);
    m_speedBox->setEnabled(true);
    int index = m_speedBox->findData(m_speed);
    if (index < 0 && model == m_loaded.model && m_speed == m_loaded.speed) {
        // A speed from the file that this model cannot use: shown as it is, so its message makes sense.
        m_speedBox->addItem(QStringLiteral("%1 baud (not supported)").arg(m_speed), m_speed);
        index = m_speedBox->count() - 1;
    }
    m_speedBox->setCurrentIndex(std::max(index, 0));
}

void RigSettingsForm::changed()
{
    check();
    emit edited();
}

bool RigSettingsForm::mark(QLabel *label, const FieldCheck &check, const QString &note)
{
    QString colour;
    QString text = check.message;
    switch (check.level) {
    case FieldCheck::Error:
        colour = QStringLiteral("#b00020");
        break;
    case FieldCheck::Warning:
        colour = QStringLiteral("#8a5a00");
        break;
    case FieldCheck::Ok:
        colour = QStringLiteral("#6b6b6b");
        text = note;
        break;
    }
    label->setStyleSheet(QStringLiteral("color: %1;").arg(colour));
    label->setText(text);
    label->setVisible(!text.isEmpty());
    return check.level != FieldCheck::Error;
}

bool RigSettingsForm::check()
{
    const RigSettings s = settings();
    const QString port = QString::fromStdString(s.port);
    const bool ported = m_kind != RigModel::Port::None;
    // Without a rig the other values mean nothing yet; they are kept as they are.
    const bool rig = s.model != RigSettings::NoRig;
    bool ok = mark(m_modelMessage, RigSettingsCheck::model(m_models, s.model));
    ok &= mark(m_portMessage, ported ? RigSettingsCheck::port(m_models, s.model, port) : FieldCheck{},
               m_port->description(port));
    ok &= mark(m_speedMessage, RigSettingsCheck::speed(m_models, s.model, s.speed));
    ok &= mark(m_pollMessage, rig ? RigSettingsCheck::pollMs(s.pollMs) : FieldCheck{});
    ok &= mark(m_timeoutMessage, rig ? RigSettingsCheck::timeoutMs(s.timeoutMs) : FieldCheck{});
    const QString confNote = s.model == RigSettings::RigctldModel && !s.conf.empty()
                                 ? QStringLiteral("Not used: rigctld takes these on its own command line.")
                                 : QString();
    ok &= mark(m_confMessage, rig ? RigSettingsCheck::conf(QString::fromStdString(s.conf)) : FieldCheck{}, confNote);
    return ok;
}

void RigSettingsForm::showState(const RigState &state)
{
    m_status->setText(QStringLiteral("<span style=\"color:%1\">&#9679;</span> %2")
                          .arg(statusColour(state.status), QString::fromStdString(state.statusText).toHtmlEscaped()));
    m_rigType->setText(QString::fromStdString(state.rigType));
}

void RigSettingsForm::showShare(const RigSettings &applied, int clients, int turnedAway, const QString &problem)
{
    QString text;
    QString colour = QStringLiteral("#6b6b6b");
    if (!applied.share) {
        text = QStringLiteral("No");
    } else if (!problem.isEmpty()) {
        text = problem;
        colour = QStringLiteral("#b00020");
    } else {
        const QString where =
            QStringLiteral("%1:%2").arg(QString::fromStdString(applied.shareAddress)).arg(applied.sharePort);
        text = clients == 0   ? QStringLiteral("On %1, no program connected").arg(where)
               : clients == 1 ? QStringLiteral("On %1, 1 program connected").arg(where)
                              : QStringLiteral("On %1, %2 programs connected").arg(where).arg(clients);
        if (turnedAway > 0)
            text += QStringLiteral(", %1 turned away").arg(turnedAway);
    }
    m_shareClients->setStyleSheet(QStringLiteral("color: %1;").arg(colour));
    m_shareClients->setText(text);
}

void RigSettingsForm::focusSearch()
{
    m_picker->searchField()->setFocus(Qt::OtherFocusReason);
}
