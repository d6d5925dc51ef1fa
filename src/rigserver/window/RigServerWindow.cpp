#include "rigserver/window/RigServerWindow.h"

#include "ini/IniFile.h"
#include "rigserver/core/RigServer.h"
#include "rigserver/window/ModelPicker.h"
#include "rigserver/window/RigSettingsForm.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QHideEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QIcon statusIcon(std::int32_t status)
{
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(status == OmniRig::ST_ONLINE ? QColor(0x1b, 0x7f, 0x2a)
                     : status == OmniRig::ST_PORTBUSY || status == OmniRig::ST_NOTRESPONDING
                         ? QColor(0xb0, 0x00, 0x20)
                         : QColor(0x9e, 0x9e, 0x9e));
    painter.drawEllipse(1, 1, 10, 10);
    return QIcon(pixmap);
}

} // namespace

RigServerWindow::RigServerWindow(RigServer *server, std::shared_ptr<const RigModelCatalogue> models)
    : QWidget(nullptr, Qt::Window), m_server(server), m_models(std::move(models)), m_tabs(new QTabWidget(this)),
      m_message(new QLabel(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this))
{
    setWindowTitle(QStringLiteral("OmniRig Settings"));
    m_tabs->setObjectName(QStringLiteral("Rigs"));
    m_message->setObjectName(QStringLiteral("Message"));
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OK"));
    m_buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancel"));
    m_buttons->button(QDialogButtonBox::Apply)->setObjectName(QStringLiteral("Apply"));

    for (int n = 1; n <= 2; ++n) {
        auto *page = new RigSettingsForm(n, *m_models, m_tabs);
        m_forms[static_cast<std::size_t>(n - 1)] = page;
        m_tabs->addTab(page, QStringLiteral("Rig %1").arg(n));
        connect(page, &RigSettingsForm::edited, this, &RigServerWindow::updateChanges);
        RigObject *rig = m_server->rig(n);
        connect(rig, &RigObject::statusChanged, this, &RigServerWindow::showRig);
        connect(rig, &RigObject::rigTypeChanged, this, &RigServerWindow::showRig);
        if (RigShare *share = m_server->share(n))
            connect(share, &RigShare::changed, this, [this, n] { showShare(n); });
    }
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) { form(index + 1)->focusSearch(); });
    connect(m_buttons->button(QDialogButtonBox::Ok), &QPushButton::clicked, this, &RigServerWindow::accept);
    connect(m_buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, &RigServerWindow::apply);
    connect(m_buttons->button(QDialogButtonBox::Cancel), &QPushButton::clicked, this, &QWidget::hide);
    // A plain window has no Escape of its own; the edits are dropped because every showing reloads.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::hide);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_message, 1);
    bottom->addWidget(m_buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(bottom);
    resize(FirstSize);
    load();
}

void RigServerWindow::placeBeside(const QWidget *other)
{
    if (!other || !other->isVisible() || !other->screen())
        return;
    // Right of the window that opened it, else left of it, when there is room on that screen. Not shown
    // yet, this window has no frame: the other window's frame stands in for the one it will get.
    constexpr int Gap = 8;
    const QRect screen = other->screen()->availableGeometry();
    const QRect beside = other->frameGeometry();
    const int frameWidth = beside.width() - other->width();
    const int frameHeight = beside.height() - other->height();
    const int outer = width() + frameWidth;
    int x = beside.right() + 1 + Gap;
    if (x + outer > screen.right() + 1)
        x = beside.left() - Gap - outer;
    if (x < screen.left())
        return;
    const int lowest = std::max(screen.top(), screen.bottom() + 1 - height() - frameHeight);
    const int y = std::clamp(beside.top(), screen.top(), lowest);
    move(x, y);
}

void RigServerWindow::setShown(bool shown)
{
    if (!shown) {
        hide();
        return;
    }
    show();
    raise();
    activateWindow();
}

void RigServerWindow::showEvent(QShowEvent *event)
{
    shownChanged();
    // A window given back by the window manager (restored, another desktop) keeps the edits in progress.
    if (!event->spontaneous()) {
        if (!m_placed) {
            m_placed = true;
            placeBeside(QApplication::activeWindow());
        }
        load();
        m_tabs->currentWidget()->setFocus();
        form(m_tabs->currentIndex() + 1)->focusSearch();
    }
    QWidget::showEvent(event);
}

void RigServerWindow::hideEvent(QHideEvent *event)
{
    shownChanged();
    QWidget::hideEvent(event);
}

void RigServerWindow::load()
{
    for (int n = 1; n <= 2; ++n) {
        form(n)->setSettings(m_server->rig(n)->settings());
        showRig(n);
    }
    updateChanges();
    say(QStringLiteral("Settings are kept in %1").arg(QDir::toNativeSeparators(m_server->settingsPath())), false);
}

void RigServerWindow::showRig(int rigNumber)
{
    const RigState &state = m_server->rig(rigNumber)->state();
    form(rigNumber)->showState(state);
    m_tabs->setTabIcon(rigNumber - 1, statusIcon(state.status));
    showShare(rigNumber);
}

void RigServerWindow::showShare(int rigNumber)
{
    const RigShare *share = m_server->share(rigNumber);
    RigSettings applied = m_server->rig(rigNumber)->settings();
    // Without a share the server cannot share the rig, whatever its settings say.
    applied.share = applied.share && share;
    form(rigNumber)->showShare(applied, share ? share->clientCount() : 0, share ? share->turnedAwayCount() : 0,
                               share ? share->problem() : QString());
}

void RigServerWindow::updateChanges()
{
    bool any = false;
    for (int n = 1; n <= 2; ++n) {
        const RigSettings settings = form(n)->settings();
        const bool changed = settings != m_server->rig(n)->settings();
        const QString name =
            ModelPicker::displayName(*m_models, settings.model).replace(QLatin1Char('&'), QStringLiteral("&&"));
        m_tabs->setTabText(
            n - 1, QStringLiteral("Rig %1: %2%3").arg(n).arg(name).arg(changed ? QStringLiteral(" *") : QString()));
        any |= changed;
    }
    m_buttons->button(QDialogButtonBox::Apply)->setEnabled(any);
}

void RigServerWindow::say(const QString &text, bool problem)
{
    m_message->setStyleSheet(problem ? QStringLiteral("color: #b00020;") : QStringLiteral("color: #6b6b6b;"));
    m_message->setText(text);
}

bool RigServerWindow::apply()
{
    std::array<RigSettings, 2> wanted;
    std::array<bool, 2> changed{};
    for (int n = 1; n <= 2; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        wanted[i] = form(n)->settings();
        changed[i] = wanted[i] != m_server->rig(n)->settings();
    }
    for (int n = 1; n <= 2; ++n) {
        // An unchanged rig is not saved, so a doubtful value it came with does not stop the other one.
        if (changed[static_cast<std::size_t>(n - 1)] && !form(n)->check()) {
            m_tabs->setCurrentIndex(n - 1);
            say(QStringLiteral("Nothing was saved: Rig %1 has values that cannot be used (marked in red).").arg(n),
                true);
            return false;
        }
    }
    if (!changed[0] && !changed[1])
        return true;

    for (int n = 1; n <= 2; ++n) {
        const RigSettings &settings = wanted[static_cast<std::size_t>(n - 1)];
        if (!changed[static_cast<std::size_t>(n - 1)])
            continue;
        try {
            m_server->applySettings(n, settings);
        } catch (const IniWriteError &error) {
            say(QString::fromUtf8(error.what()), true);
            updateChanges();
            return false;
        }
        form(n)->setSettings(settings);
        showShare(n);
    }
    updateChanges();
    say(QStringLiteral("Saved in %1").arg(QDir::toNativeSeparators(m_server->settingsPath())), false);
    return true;
}

void RigServerWindow::accept()
{
    if (apply())
        hide();
}
