#include "AboutDlg.h"

#include "AboutForm.h"

#include <QGuiApplication>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>

TAboutDlg::TAboutDlg(QObject *owner) : QObject(owner)
{
}

TAboutDlg::~TAboutDlg()
{
    stopCountdown();
    // The owner may go away inside the nested loop of a showing. Ending that showing lets Execute unwind;
    // it releases the box itself and touches nothing of the component after this.
    if (m_box)
        m_box->done(QDialog::Rejected);
}

void TAboutDlg::Execute()
{
    if (m_box) {
        m_box->raise();
        m_box->activateWindow();
        return;
    }

    // The box is a dialog of the window that owns the component, modal to that window only: the window
    // manager keeps it with that window (above it, minimised and restored with it), and the program's other
    // windows, the tray icon's among them, stay usable while it is up. Without such a window it blocks the
    // whole program.
    QWidget *host = hostWindow();
    // The box belongs to this showing, not to the component, so it is released exactly once, here, whether
    // the showing ends normally, fails, or outlives the component. The host's window deletes it only when it
    // goes itself inside the showing; the guard then finds nothing left to release.
    const QPointer<TAboutBox> box = new TAboutBox(host);
    const QPointer<TAboutDlg> self(this);
    m_box = box;
    const auto release = qScopeGuard([&] {
        if (self) {
            stopCountdown();
            m_box = nullptr;
        }
        delete box.data();
    });

    box->setWindowModality(host ? Qt::WindowModal : Qt::ApplicationModal);
    box->setWindowTitle(m_title);
    box->setProductName(m_productName);
    box->setCopyright(m_copyright);
    box->setProgrammer(m_programmer);
    box->setWebsite(m_webSite);
    box->setPicture(m_icon);
    centreOnScreen(box, host);
    if (m_timerOption)
        startCountdown(box);
    box->exec();
}

QWidget *TAboutDlg::hostWindow() const
{
    auto *owner = qobject_cast<QWidget *>(parent());
    return owner ? owner->window() : nullptr;
}

void TAboutDlg::centreOnScreen(QWidget *box, QWidget *host)
{
    // On the screen, not over the host, as the layout places it; Qt would centre a dialog on its parent.
    const QScreen *screen = host ? host->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    box->move(area.center() - QPoint(box->width() / 2, box->height() / 2));
}

void TAboutDlg::startCountdown(TAboutBox *box)
{
    m_countdown = new QTimer(this);
    m_countdown->setObjectName(QStringLiteral("AboutCountdown"));
    m_countdown->setSingleShot(true);
    m_countdown->setInterval(m_countdownMs);
    // Bound to the box of this showing: the countdown can close no other box.
    connect(m_countdown, &QTimer::timeout, this, [this, target = QPointer<TAboutBox>(box)] {
        const QPointer<TAboutBox> own = target;
        stopCountdown();
        if (own)
            own->close();
    });
    m_countdown->start();
}

void TAboutDlg::stopCountdown()
{
    delete m_countdown;
    m_countdown = nullptr;
}
