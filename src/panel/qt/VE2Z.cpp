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
using Panel::ControlKind;

namespace {

QColor colour(Panel::Colour value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QFont makeFont(const Panel::Font &font)
{
    return QFont(QString::fromUtf8(font.face), font.points);
}

QString qt(const std::string &text)
{
    return QString::fromStdString(text);
}

} // namespace

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
        p.shift()->setValue(position);
    }
    void setShiftSelection(int start, int end) override
    {
        p.shift()->setSelStart(start);
        p.shift()->setSelEnd(end);
    }
    void setFocus(Control control) override { p.control(control)->setFocus(Qt::ActiveWindowFocusReason); }
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
        p.m_trayIcon->setToolTip(QString::fromUtf8(Panel::Window.trayTip));
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

// The poll timer as the core drives it.
class TSO2VPanel::Timer final : public Panel::PollTimer {
public:
    explicit Timer(QTimer &timer) : m_timer(timer) {}
    void start(int intervalMs) override { m_timer.start(intervalMs); }

private:
    QTimer &m_timer;
};

TSO2VPanel::TSO2VPanel(const QStringList &arguments, QWidget *parent)
    : QWidget(parent), m_pollTimer(std::make_unique<QTimer>()), m_face(std::make_unique<Face>(*this)),
      m_timer(std::make_unique<Timer>(*m_pollTimer)), m_instanceMapping(std::make_unique<InstanceMarker>()),
      m_core(std::make_unique<Panel::PanelCore>(*m_face, *m_instanceMapping, *m_timer))
{
    createControls();
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
    setObjectName(QString::fromUtf8(Panel::Window.name));
    setWindowTitle(QString::fromUtf8(Panel::Window.caption));
    setWindowIcon(PanelArtwork::mainIcon());
    setFont(makeFont(Panel::Window.windowFont));
    QPalette grey = palette();
    grey.setColor(QPalette::Window, colour(Panel::Window.background));
    setPalette(grey);
    setAutoFillBackground(true);
    move(Panel::Window.position.x, Panel::Window.position.y);
    // The client area; the window manager adds its own frame around it.
    resize(Panel::Window.clientWidth, Panel::Window.clientHeight);

    auto *tracking = new QButtonGroup(this);
    tracking->setObjectName(QStringLiteral("Tracking"));
    QWidget *lastStop = nullptr;
    for (const Panel::ControlLayout &layout : Panel::Controls) {
        QWidget *widget = makeControl(layout);
        m_controls[std::size_t(layout.control)] = widget;
        if (layout.kind == ControlKind::RadioButton)
            tracking->addButton(static_cast<QRadioButton *>(widget));
        if (layout.tabStop) {
            if (lastStop)
                setTabOrder(lastStop, widget);
            lastStop = widget;
        }
        connectControl(layout);
    }

    // The window comes with its system menu, as a window of the system does; start-up edits it.
    m_systemMenu = new SystemMenu(this);
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("TrayMenu"));
    m_trayIcon = new QSystemTrayIcon(this);
    m_trayIcon->setObjectName(QStringLiteral("TrayIcon"));
    m_aboutDialog = new TAboutDlg(this);

    connect(m_systemMenu, &SystemMenu::command, this, [this](int command) { m_core->systemCommand(command); });
    // Only the right button opens the menu; Qt reports it as the context request. A left click is Trigger.
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        m_core->trayActivated(reason == QSystemTrayIcon::Context);
    });
    connect(m_pollTimer.get(), &QTimer::timeout, this, [this] { m_core->timerTicked(); });
}

QWidget *TSO2VPanel::makeControl(const Panel::ControlLayout &layout)
{
    const QString caption = QString::fromUtf8(layout.caption);
    QWidget *widget = nullptr;
    switch (layout.kind) {
    case ControlKind::SpeedButton:
        widget = new SpeedButton(PanelArtwork::buttonImage(QString::fromUtf8(layout.name)), this);
        break;
    case ControlKind::Led:
        widget = new TAMAdvLed(this);
        break;
    case ControlKind::Label:
        widget = new QLabel(caption, this);
        break;
    case ControlKind::ClickLabel:
        widget = new ClickLabel(caption, this);
        break;
    case ControlKind::TrackBar: {
        auto *slider = new TrackBar(this);
        slider->setRange(Panel::Slider.minimum, Panel::Slider.maximum);
        slider->setSingleStep(Panel::Slider.lineStep);
        slider->setPageStep(Panel::Slider.pageStep);
        slider->setTickInterval(Panel::Slider.tickInterval);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setValue(Panel::Slider.position);
        slider->setSelStart(Panel::Slider.selectionStart);
        slider->setSelEnd(Panel::Slider.selectionEnd);
        widget = slider;
        break;
    }
    case ControlKind::CheckBox:
        widget = new QCheckBox(caption, this);
        break;
    case ControlKind::RadioButton:
        widget = new QRadioButton(caption, this);
        break;
    }
    widget->setObjectName(QString::fromUtf8(layout.name));
    widget->setGeometry(layout.place.left, layout.place.top, layout.place.width, layout.place.height);
    widget->setToolTip(QString::fromUtf8(layout.hint));
    if (!layout.tabStop)
        widget->setFocusPolicy(Qt::NoFocus);
    if (layout.font == Panel::FontRole::Label)
        widget->setFont(makeFont(Panel::Window.labelFont));
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setTextFormat(Qt::PlainText);
    }
    if (auto *led = qobject_cast<TAMAdvLed *>(widget))
        led->loaded();
    return widget;
}

void TSO2VPanel::connectControl(const Panel::ControlLayout &layout)
{
    const Control which = layout.control;
    QWidget *widget = control(which);
    switch (layout.kind) {
    case ControlKind::SpeedButton:
        connect(static_cast<SpeedButton *>(widget), &SpeedButton::clicked, this,
                [this, which] { m_core->clicked(which); });
        connect(static_cast<SpeedButton *>(widget), &SpeedButton::doubleClicked, this,
                [this, which] { m_core->doubleClicked(which); });
        return;
    case ControlKind::ClickLabel:
        connect(static_cast<ClickLabel *>(widget), &ClickLabel::clicked, this,
                [this, which] { m_core->clicked(which); });
        connect(static_cast<ClickLabel *>(widget), &ClickLabel::doubleClicked, this,
                [this, which] { m_core->doubleClicked(which); });
        return;
    case ControlKind::TrackBar:
        connect(shift(), &TrackBar::changed, this, [this] {
            if (!m_showing)
                m_core->shiftMoved(shift()->sliderPosition());
        });
        return;
    case ControlKind::CheckBox:
        // toggled, not clicked: it comes when, and only when, the state changes.
        connect(static_cast<QCheckBox *>(widget), &QCheckBox::toggled, this, [this](bool checked) {
            if (!m_showing)
                m_core->ritToggled(checked);
        });
        return;
    case ControlKind::RadioButton:
        // A radio button tells when it becomes selected; a click on the selected one is no news to the core.
        connect(static_cast<QRadioButton *>(widget), &QRadioButton::toggled, this, [this, which](bool checked) {
            if (checked && !m_showing)
                m_core->trackClicked(which);
        });
        return;
    case ControlKind::Led:
    case ControlKind::Label:
        return;
    }
}

QWidget *TSO2VPanel::control(Control which) const
{
    return m_controls[std::size_t(which)];
}

std::optional<Control> TSO2VPanel::controlOf(const QWidget *widget) const
{
    for (const Panel::ControlLayout &layout : Panel::Controls)
        if (widget && control(layout.control) == widget)
            return layout.control;
    return std::nullopt;
}

TAMAdvLed *TSO2VPanel::led(Control which) const
{
    return static_cast<TAMAdvLed *>(control(which));
}

TrackBar *TSO2VPanel::shift() const
{
    return static_cast<TrackBar *>(control(Control::Shift));
}

void TSO2VPanel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow())
        m_core->windowActivated();
    else
        m_core->windowDeactivated(controlOf(focusWidget()));
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
