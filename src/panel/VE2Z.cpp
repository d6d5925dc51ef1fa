// The window, its start-up and its settings.
#include "VE2Z.h"

#include "AMAdvLed.h"
#include "AboutDlg.h"
#include "ClickLabel.h"
#include "PanelArtwork.h"
#include "SpeedButton.h"
#include "TOmniRigX.h"
#include "TrackBar.h"
#include "platform/InstanceMarker.h"
#include "platform/MessageBoxes.h"
#include "platform/SystemMenu.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTimer>

namespace {

// The window's first place and its client area. The layout's coordinates are client coordinates for a
// frame of 224 x 167 outside on the desktop it was drawn on (4-pixel sizing borders, a 19-pixel caption);
// here the window manager adds its own frame around the same client area.
constexpr QPoint FirstPosition(317, 109);
constexpr QSize ClientSize(216, 140);
const QColor Background(128, 128, 128);

const QString InstanceRunningText = QStringLiteral("Instance of Program Already Running");
const QString InstanceRunningCaption = QStringLiteral("VELKOR (1.5) Initialization Failure");
const QString LoadingFailedText = QStringLiteral("Error while loading OmniRig");

template <typename Widget> Widget *place(Widget *widget, const char *name, const QRect &geometry)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

template <typename Label> Label *makeLabel(Label *label, const char *name, const QRect &geometry, const QString &text)
{
    place(label, name, geometry);
    label->setText(text);
    label->setFont(QFont(QStringLiteral("Verdana"), 8));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}

TAMAdvLed *makeLed(QWidget *parent, const char *name, QPoint topLeft)
{
    auto *led = place(new TAMAdvLed(parent), name, QRect(topLeft, QSize(17, 17)));
    led->loaded();
    return led;
}

QRadioButton *makeRadio(QWidget *parent, const char *name, const QRect &geometry, const QString &text,
                        const QString &hint = {})
{
    auto *button = place(new QRadioButton(text, parent), name, geometry);
    button->setToolTip(hint);
    return button;
}

} // namespace

TSO2VPanel::TSO2VPanel(const QStringList &arguments, QWidget *parent)
    : QWidget(parent), m_arguments(arguments),
      m_guard([this](const QString &message) { MessageBoxes::showError(this, message); })
{
    createControls();
    connectControls();
    m_guard.run([this] { FormCreate(); });
}

TSO2VPanel::~TSO2VPanel()
{
    // Also when the program ends other than by closing the panel: the members' teardown, the rig server's
    // first, may take a moment.
    releaseInstanceMark();
}

void TSO2VPanel::createControls()
{
    setObjectName(QStringLiteral("SO2VPanel"));
    setWindowTitle(QStringLiteral("VE2Z"));
    setWindowIcon(PanelArtwork::mainIcon());
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    QPalette grey = palette();
    grey.setColor(QPalette::Window, Background);
    setPalette(grey);
    setAutoFillBackground(true);
    move(FirstPosition);
    resize(ClientSize);

    // Bottom to top: where controls overlap, a later one lies over an earlier one (RIT over the slider's end).
    m_a2b = place(new SpeedButton(PanelArtwork::A2BImage, this), "A2B", {2, 4, 65, 41});
    m_swap = place(new SpeedButton(PanelArtwork::SWAPImage, this), "SWAP", {70, 4, 65, 41});
    m_b2a = place(new SpeedButton(PanelArtwork::B2AImage, this), "B2A", {139, 4, 65, 41});
    m_rig1Led = makeLed(this, "Rig1LED", {4, 48});
    m_rig2Led = makeLed(this, "Rig2LED", {115, 48});
    m_rig1Label = makeLabel(new QLabel(this), "Rig1", {20, 50, 89, 14}, QStringLiteral("Rig1"));
    m_rig2Label = makeLabel(new QLabel(this), "Rig2", {132, 49, 73, 17}, QStringLiteral("Rig2"));
    m_omniRigLabel = makeLabel(new QLabel(this), "OmniRig", {6, 64, 187, 14}, QStringLiteral("OmniRig status"));
    m_shiftHz = makeLabel(new ClickLabel(this), "ShiftHZ", {147, 81, 59, 16}, QStringLiteral("+0000 Hz"));

    m_shift = place(new TrackBar(this), "Shift", {12, 78, 137, 17});
    m_shift->setRange(PanelSettings::MinPosition, PanelSettings::MaxPosition);
    // A key moves it 1 Hz and a page 2, as a Windows track bar does by default.
    m_shift->setSingleStep(1);
    m_shift->setPageStep(2);
    m_shift->setTickInterval(10);
    m_shift->setTickPosition(QSlider::TicksBelow);
    m_shift->setValue(PanelSettings::CentrePosition);
    m_shift->setSelStart(PanelSettings::CentrePosition);
    m_shift->setSelEnd(PanelSettings::CentrePosition);

    m_rit = place(new QCheckBox(QStringLiteral("RIT"), this), "RIT", {4, 80, 17, 17});
    m_trackNone = makeRadio(this, "TrackNone", {16, 104, 57, 17}, QStringLiteral("None"));
    m_trackRig1 = makeRadio(this, "TrackRig1", {81, 104, 57, 17}, QStringLiteral("Rig1"), QStringLiteral("Track Rig1"));
    m_trackRig2 =
        makeRadio(this, "TrackRig2", {147, 104, 57, 17}, QStringLiteral("Rig2"), QStringLiteral("Track Rig 2"));
    auto *tracking = new QButtonGroup(this);
    tracking->setObjectName(QStringLiteral("Tracking"));
    for (QRadioButton *button : {m_trackNone, m_trackRig1, m_trackRig2})
        tracking->addButton(button);

    // The window comes with its system menu, as a window of the system does; start-up edits it.
    m_systemMenu = new SystemMenu(this);

    setTabOrder(m_shift, m_rit);
    setTabOrder(m_rit, m_trackNone);
    setTabOrder(m_trackNone, m_trackRig1);
    setTabOrder(m_trackRig1, m_trackRig2);
}

void TSO2VPanel::connectControls()
{
    const auto entry = [this](void (TSO2VPanel::*handler)()) {
        return [this, handler] { m_guard.run([this, handler] { (this->*handler)(); }); };
    };
    connect(m_a2b, &QAbstractButton::clicked, this, entry(&TSO2VPanel::A2BClick));
    connect(m_swap, &QAbstractButton::clicked, this, entry(&TSO2VPanel::SWAPClick));
    connect(m_b2a, &QAbstractButton::clicked, this, entry(&TSO2VPanel::B2AClick));
    connect(m_shiftHz, &ClickLabel::clicked, this, entry(&TSO2VPanel::ShiftHZClick));
    connect(m_shift, &TrackBar::changed, this, entry(&TSO2VPanel::ShiftChange));
    // toggled, not clicked: it comes when, and only when, the state changes, from code or from the operator.
    connect(m_rit, &QCheckBox::toggled, this, entry(&TSO2VPanel::RITClick));
    // A radio button runs its handler when it becomes selected; clicking the selected one does nothing.
    const auto onSelect = [&](QRadioButton *button, void (TSO2VPanel::*handler)()) {
        connect(button, &QRadioButton::toggled, this, [run = entry(handler)](bool checked) {
            if (checked)
                run();
        });
    };
    onSelect(m_trackNone, &TSO2VPanel::TrackNoneClick);
    onSelect(m_trackRig1, &TSO2VPanel::TrackRig1Click);
    onSelect(m_trackRig2, &TSO2VPanel::TrackRig2Click);
    connect(m_systemMenu, &SystemMenu::command, this,
            [this](int command) { m_guard.run([this, command] { SystemCommandMessage(command); }); });
}

void TSO2VPanel::FormCreate()
{
    m_iniPath = PanelSettings::iniPath(m_arguments, QDir::currentPath());
    m_iniFile = IniFile(QFile::encodeName(m_iniPath).toStdString());
    applyStored(PanelSettings::read(m_iniFile));

    // No QObject owner: the poll runs until the process ends, and the member frees it with the panel.
    m_pollTimer = std::make_unique<QTimer>();
    m_pollTimer->setInterval(PollIntervalMs);
    connect(m_pollTimer.get(), &QTimer::timeout, this, [this] { m_guard.run([this] { TimerTick(); }); });
    m_pollTimer->start();

    BuildMenus();
    MessageBoxes::setApplicationTitle(QStringLiteral("VELKOR"));
    AddTrayIcon();
    fillAboutDialog();

    m_instanceMapping = new InstanceMarker(this);
    if (!m_instanceMapping->claim()) {
        MessageBoxes::show(this, {InstanceRunningCaption, InstanceRunningText});
        close();
        m_startupEnded = true;
        return;
    }
    if (!createOmniRigClient()) {
        MessageBoxes::show(this, {QString(), LoadingFailedText});
        close();
        m_startupEnded = true;
        return;
    }
    attachOmniRigEvents();
    m_omniRigClient->Connect();
    m_currentRig = m_omniRigClient->Rig1();

    OmniRigVisibleChange();
    OmniRigRigTypeChange(1);
    OmniRigStatusChange(1);
    OmniRigParamsChange(1, OmniRig::PM_ALL);
}

void TSO2VPanel::applyStored(const PanelSettings::Stored &stored)
{
    // Each step sets a control from code; its handler saves the settings as they stand at that moment,
    // and a failed save ends start-up here.
    m_guard.fromCode([this] {
        m_trackNone->setChecked(true);
        m_trackRig1->setChecked(false);
        m_trackRig2->setChecked(false);
    });
    m_guard.fromCode([&] { m_rit->setChecked(PanelSettings::ritFromShift(stored.shift)); });
    m_guard.fromCode([&] { m_shift->setValue(PanelSettings::positionFromOffset(stored.offset)); });
    RITClick();
    switch (PanelSettings::trackFromText(stored.track)) {
    case PanelSettings::Track::Rig1:
        selectTrack(m_trackRig1);
        break;
    case PanelSettings::Track::Rig2:
        selectTrack(m_trackRig2);
        break;
    case PanelSettings::Track::None:
        break;
    }
}

bool TSO2VPanel::createOmniRigClient()
{
    // With no rig server to load there is nothing the panel could do.
    if (!TOmniRigX::defaultFactory())
        return false;
    m_omniRigClient = std::make_unique<TOmniRigX>();
    return true;
}

void TSO2VPanel::attachOmniRigEvents()
{
    TOmniRigX *client = m_omniRigClient.get();
    connect(client, &TOmniRigX::OnVisibleChange, this, [this] { m_guard.quiet([this] { OmniRigVisibleChange(); }); });
    connect(client, &TOmniRigX::OnRigTypeChange, this,
            [this](int rig) { m_guard.quiet([this, rig] { OmniRigRigTypeChange(rig); }); });
    connect(client, &TOmniRigX::OnStatusChange, this,
            [this](int rig) { m_guard.quiet([this, rig] { OmniRigStatusChange(rig); }); });
    connect(client, &TOmniRigX::OnParamsChange, this,
            [this](int rig, int params) { m_guard.quiet([this, rig, params] { OmniRigParamsChange(rig, params); }); });
    connect(client, &TOmniRigX::OnCustomReply, this, [this](int rig, const QVariant &command, const QVariant &reply) {
        m_guard.quiet([&] { OmniRigCustomReply(rig, command, reply); });
    });
}

void TSO2VPanel::fillAboutDialog()
{
    m_aboutDialog = new TAboutDlg(this);
    m_aboutDialog->setTitle(QStringLiteral("Velkor Using OmniRig"));
    m_aboutDialog->setProductName(QStringLiteral("VELKOR 1.5.00"));
    m_aboutDialog->setCopyRight(QStringLiteral("(c) 2026 the VELKOR developers"));
    m_aboutDialog->setProgrammer(QStringLiteral("Licence: GPL-3.0-or-later"));
    m_aboutDialog->setWebSite(QStringLiteral("https://velkor.example.org/"));
    m_aboutDialog->setIcon(windowIcon());
}

void TSO2VPanel::SaveSettings()
{
    const PanelSettings::Applied applied{m_shift->sliderPosition(), m_rit->isChecked(), selectedTrack()};
    // One replacement of the file per change: the slider reports a key press twice (the step, then the key's
    // release), and several handlers of one action each save what the one before them saved.
    if (applied == m_saved)
        return;
    m_iniFile = IniFile(QFile::encodeName(m_iniPath).toStdString());
    PanelSettings::write(m_iniFile, applied);
    m_saved = applied;
}

std::optional<PanelSettings::Track> TSO2VPanel::selectedTrack() const
{
    if (m_trackNone->isChecked())
        return PanelSettings::Track::None;
    if (m_trackRig1->isChecked())
        return PanelSettings::Track::Rig1;
    if (m_trackRig2->isChecked())
        return PanelSettings::Track::Rig2;
    return std::nullopt;
}

void TSO2VPanel::AddTrayIcon()
{
    if (!m_trayIcon) {
        m_trayIcon = new QSystemTrayIcon(this);
        m_trayIcon->setObjectName(QStringLiteral("TrayIcon"));
        connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            m_guard.run([this, reason] { TrayIconMessage(reason); });
        });
    }
    m_trayIcon->setIcon(windowIcon());
    m_trayIcon->setToolTip(QStringLiteral("VELKOR"));
    m_trayIcon->show();
}

void TSO2VPanel::SetTrayIcon(const QIcon &icon)
{
    if (m_trayIcon)
        m_trayIcon->setIcon(icon);
}

void TSO2VPanel::DeleteTrayIcon()
{
    if (m_trayIcon)
        m_trayIcon->hide();
}
