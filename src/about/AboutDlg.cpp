#include "AboutDlg.h"

#include "AboutForm.h"

#include <QScopeGuard>
#include <QTimer>

#include <memory>

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

    // The box belongs to this showing, not to the component, so it is released exactly once, here, whether
    // the showing ends normally, fails, or outlives the component.
    auto box = std::make_unique<TAboutBox>();
    const QPointer<TAboutDlg> self(this);
    m_box = box.get();
    const auto release = qScopeGuard([&] {
        if (self) {
            stopCountdown();
            m_box = nullptr;
        }
        box.reset();
    });

    box->setWindowTitle(m_title);
    box->setProductName(m_productName);
    box->setCopyright(m_copyright);
    box->setProgrammer(m_programmer);
    box->setWebsite(m_webSite);
    box->setPicture(m_icon);
    if (m_timerOption)
        startCountdown(box.get());
    box->exec();
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
