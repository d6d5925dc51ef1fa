// The window: its controls, what the panel's core shows on them, and what the operator does with them.
#include "panel/qt/VE2Z.h"

#include "about/qt/AboutDlg.h"
#include "led/qt/AMAdvLed.h"
#include "panel/platform/InstanceMarker.h"
#include "panel/qt/ClickLabel.h"
#include "panel/qt/MessageBoxes.h"
#include "panel/qt/SpeedButton.h"
#include "panel/qt/SystemMenu.h"
#include "panel/qt/TrackBar.h"
#include "panel/resources/PanelArtwork.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTimer>
#include <QWindow>

#include <vector>

using Panel::Control;

namespace {

// The window's first place and its client area. The layout's coordinates are client coordinates for a
// frame of 224 x 167 outside on the desktop it was drawn on (4-pixel sizing borders, a 19-pixel caption);
// here the window manager adds its own frame around the same client area.
constexpr QPoint FirstPosition(317, 109);
constexpr QSize ClientSize(216, 140);
const QColor Background(128, 128, 128);

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

QString qt(const std::string &text)
{
    return QString::fromStdString(text);
}

} // namespace

// The poll timer as the core drives it.
class TSO2VPanel::Timer final : public Panel::PollTimer {
public:
    explicit Timer(QTimer &timer) : m_timer(timer) {}
    void start(int intervalMs) override { m_timer.start(intervalMs); }

private:
    QTimer &m_timer;
};

// What the core shows, on the window's controls. Setting a control here blocks the control's own signals
// (m_showing), so that only the operator's changes reach the core.
class TSO2VPanel::Face final : public Panel::PanelFace {
public:
    explicit Face(TSO2VPanel &panel) : p(panel) {}

    void setText(Control label, const std::string &text) override
    {
        if (auto *widget = qobject_cast<QLabel *>(p.control(label)))
            widget->setText(qt(text));
    }
    void setVisible(Control control, bool visible) override { p.control(control)->setVisible(visible); }
    void setEnabled(Control control, bool enabled) override { p.control(control)->setEnabled(enabled); }
    void setChecked(Control control, bool checked) override
    {
        const Showing showing(p);
        if (auto *button = qobject_cast<QAbstractButton *>(p.control(control)))
            button->setChecked(checked);
    }
    void setShiftPosition(int position) override
    {
        const Showing showing(p);
        p.m_shift->setValue(position);
    }
    void setShiftSelection(int start, int end) override
    {
        p.m_shift->setSelStart(start);
        p.m_shift->setSelEnd(end);
    }
    void setLedOn(Control control, bool on) override { p.led(control)->setLedOn(on); }
    void setLedColour(Control control, Panel::Colour colour) override { p.led(control)->setColorOn(colour); }

    Panel::BoxAnswer showBox(const Panel::Box &box) override
    {
        const QMessageBox::StandardButton answer = MessageBoxes::show(&p, request(box));
        return answer == QMessageBox::Ok ? Panel::BoxAnswer::Ok : Panel::BoxAnswer::Cancel;
    }
    void showNote(const Panel::Box &box) override { MessageBoxes::note(&p, request(box)); }
    void setAboutTexts(const Panel::AboutTexts &texts) override
    {
        p.m_aboutDialog->setTexts(texts);
        p.m_aboutDialog->setIcon(p.windowIcon());
    }
    void executeAbout() override { p.m_aboutDialog->Execute(); }
    std::string applicationTitle() override { return MessageBoxes::applicationTitle().toStdString(); }
    void setApplicationTitle(const std::string &title) override { MessageBoxes::setApplicationTitle(qt(title)); }

    bool trayAvailable() override { return QSystemTrayIcon::isSystemTrayAvailable(); }
    void showTrayIcon(Panel::TrayImage image) override
    {
        p.m_trayIcon->setIcon(image == Panel::TrayImage::OmniRig ? PanelArtwork::omniRigIcon() : p.windowIcon());
        p.m_trayIcon->setToolTip(QStringLiteral("VELKOR"));
        p.m_trayIcon->show();
    }
    void hideTrayIcon() override { p.m_trayIcon->hide(); }
    void appendTrayMenuItem(int id, const std::string &caption) override
    {
        QAction *action = p.m_trayMenu->addAction(qt(caption));
        connect(action, &QAction::triggered, &p, [this, id] { p.m_core->trayMenuChosen(id); });
    }
    void popupTrayMenu(Panel::Point at) override { p.m_trayMenu->popup({at.x, at.y}); }

    bool setSystemMenuText(int command, const std::string &text) override
    {
        return p.m_systemMenu->setCommandText(command, qt(text));
    }
    bool removeSystemMenuItem(int position) override { return p.m_systemMenu->removeAt(position); }
    void appendSystemMenuSeparator() override { p.m_systemMenu->appendSeparator(); }
    void appendSystemMenuItem(int command, const std::string &text) override
    {
        p.m_systemMenu->append(command, qt(text));
    }
    void defaultSystemCommand(int command) override { SystemMenu::defaultProcessing(&p, command); }

    void bringToFront() override
    {
        p.raise();
        p.activateWindow();
    }
    Panel::Point cursorPosition() override
    {
        const QPoint at = QCursor::pos();
        return {at.x(), at.y()};
    }
    bool isMinimized() override { return p.isMinimized(); }
    void restore() override
    {
        p.showNormal();
        bringToFront();
        // A menu opened before the window manager has given the window back may be closed by it at once;
        // on a loaded machine that takes a moment.
        QDeadlineTimer deadline(1000);
        while (p.windowHandle() && !p.windowHandle()->isExposed() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    void close() override { p.close(); }
    void exitNow() override { QCoreApplication::exit(0); }
    void processPendingEvents() override { QCoreApplication::processEvents(); }

private:
    // Marks the time the core sets a control.
    class Showing {
    public:
        explicit Showing(TSO2VPanel &panel) : m_panel(panel), m_was(panel.m_showing) { panel.m_showing = true; }
        ~Showing() { m_panel.m_showing = m_was; }
        Showing(const Showing &) = delete;
        Showing &operator=(const Showing &) = delete;

    private:
        TSO2VPanel &m_panel;
        bool m_was;
    };

    static MessageBoxes::Request request(const Panel::Box &box)
    {
        return {qt(box.caption), qt(box.text),
                box.icon == Panel::BoxIcon::Stop ? MessageBoxes::Icon::Stop : MessageBoxes::Icon::None,
                box.buttons == Panel::BoxButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok};
    }

    TSO2VPanel &p;
};

TSO2VPanel::TSO2VPanel(const QStringList &arguments, QWidget *parent)
    : QWidget(parent), m_pollTimer(std::make_unique<QTimer>()), m_face(std::make_unique<Face>(*this)),
      m_timer(std::make_unique<Timer>(*m_pollTimer)), m_instanceMapping(std::make_unique<InstanceMarker>()),
      m_core(std::make_unique<Panel::PanelCore>(*m_face, *m_instanceMapping, *m_timer))
{
    createControls();
    connectControls();
    std::vector<std::string> args;
    for (const QString &argument : arguments)
        args.push_back(QFile::encodeName(argument).toStdString());
    m_core->FormCreate(args, QFile::encodeName(QDir::currentPath()).toStdString());
}

TSO2VPanel::~TSO2VPanel()
{
    // Also when the program ends other than by closing the panel: the members' teardown, the rig server's
    // first, may take a moment.
    m_core->windowClosing();
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
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("TrayMenu"));
    m_trayIcon = new QSystemTrayIcon(this);
    m_trayIcon->setObjectName(QStringLiteral("TrayIcon"));
    m_aboutDialog = new TAboutDlg(this);

    setTabOrder(m_shift, m_rit);
    setTabOrder(m_rit, m_trackNone);
    setTabOrder(m_trackNone, m_trackRig1);
    setTabOrder(m_trackRig1, m_trackRig2);
}

void TSO2VPanel::connectControls()
{
    const auto operatorClicks = [this](QAbstractButton *button, Control which) {
        connect(button, &QAbstractButton::clicked, this, [this, which] { m_core->clicked(which); });
    };
    operatorClicks(m_a2b, Control::A2B);
    operatorClicks(m_swap, Control::SWAP);
    operatorClicks(m_b2a, Control::B2A);
    connect(m_shiftHz, &ClickLabel::clicked, this, [this] { m_core->clicked(Control::ShiftHZ); });
    connect(m_shift, &TrackBar::changed, this, [this] {
        if (!m_showing)
            m_core->shiftMoved(m_shift->sliderPosition());
    });
    // toggled, not clicked: it comes when, and only when, the state changes.
    connect(m_rit, &QCheckBox::toggled, this, [this](bool checked) {
        if (!m_showing)
            m_core->ritToggled(checked);
    });
    // A radio button tells when it becomes selected; clicking the selected one does nothing.
    const auto onSelect = [&](QRadioButton *button, Control which) {
        connect(button, &QRadioButton::toggled, this, [this, which](bool checked) {
            if (checked && !m_showing)
                m_core->trackSelected(which);
        });
    };
    onSelect(m_trackNone, Control::TrackNone);
    onSelect(m_trackRig1, Control::TrackRig1);
    onSelect(m_trackRig2, Control::TrackRig2);
    connect(m_systemMenu, &SystemMenu::command, this, [this](int command) { m_core->systemCommand(command); });
    // Only the right button opens the menu; Qt reports it as the context request. A left click is Trigger.
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        m_core->trayActivated(reason == QSystemTrayIcon::Context);
    });
    connect(m_pollTimer.get(), &QTimer::timeout, this, [this] { m_core->timerTicked(); });
}

QWidget *TSO2VPanel::control(Control which) const
{
    switch (which) {
    case Control::A2B:
        return m_a2b;
    case Control::SWAP:
        return m_swap;
    case Control::B2A:
        return m_b2a;
    case Control::Rig1LED:
        return m_rig1Led;
    case Control::Rig2LED:
        return m_rig2Led;
    case Control::Rig1:
        return m_rig1Label;
    case Control::Rig2:
        return m_rig2Label;
    case Control::OmniRig:
        return m_omniRigLabel;
    case Control::ShiftHZ:
        return m_shiftHz;
    case Control::Shift:
        return m_shift;
    case Control::RIT:
        return m_rit;
    case Control::TrackNone:
        return m_trackNone;
    case Control::TrackRig1:
        return m_trackRig1;
    case Control::TrackRig2:
        return m_trackRig2;
    }
    return nullptr;
}

TAMAdvLed *TSO2VPanel::led(Control which) const
{
    return which == Control::Rig1LED ? m_rig1Led : m_rig2Led;
}

void TSO2VPanel::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (!event->isAccepted())
        return;
    m_core->windowClosing();
    // Closing the panel ends the program, also while the rig server's settings window is open: that window
    // lives in this process, and would keep it running with no panel. Queued, so the panel has closed first.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}
