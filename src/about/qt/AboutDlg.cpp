#include "about/qt/AboutDlg.h"

#include "about/qt/AboutForm.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>

namespace {

void centreOnScreen(QWidget *box, QWidget *host)
{
    // On the screen, not over the host, as the layout places it; Qt would centre a dialog on its parent.
    const QScreen *screen = host ? host->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    box->move(area.center() - QPoint(box->width() / 2, box->height() / 2));
}

// One showing's TAboutBox. The host's window deletes the box if it goes itself inside the showing; what
// is left, if anything, goes with this.
class ShowingBox final : public AboutFace::Box {
public:
    // The box is a dialog of the window that owns the component, modal to that window only: the window
    // manager keeps it with that window (above it, minimised and restored with it), and the program's other
    // windows, the tray icon's among them, stay usable while it is up. Without such a window it blocks the
    // whole program.
    ShowingBox(QWidget *host, const QIcon &icon) : m_box(new TAboutBox(host)), m_icon(icon)
    {
        m_box->setWindowModality(host ? Qt::WindowModal : Qt::ApplicationModal);
        centreOnScreen(m_box, host);
    }
    ~ShowingBox() override { delete m_box.data(); }

    ShowingBox(const ShowingBox &) = delete;
    ShowingBox &operator=(const ShowingBox &) = delete;

    void fill(const AboutTexts &texts) override
    {
        m_box->setWindowTitle(QString::fromStdString(texts.title));
        m_box->setProductName(QString::fromStdString(texts.productName));
        m_box->setCopyright(QString::fromStdString(texts.copyRight));
        m_box->setProgrammer(QString::fromStdString(texts.programmer));
        m_box->setWebsite(QString::fromStdString(texts.webSite));
        m_box->setPicture(m_icon);
    }

    int showModal() override { return m_box->exec(); }

    void raise() override
    {
        if (!m_box)
            return;
        m_box->raise();
        m_box->activateWindow();
    }

    void close() override
    {
        if (m_box)
            m_box->close();
    }

private:
    QPointer<TAboutBox> m_box;
    QIcon m_icon;
};

} // namespace

TAboutDlg::TAboutDlg(QObject *owner) : QObject(owner)
{
}

TAboutDlg::~TAboutDlg()
{
    stopCountdown();
}

std::unique_ptr<AboutFace::Box> TAboutDlg::createBox()
{
    return std::make_unique<ShowingBox>(hostWindow(), m_icon);
}

void TAboutDlg::startCountdown(int milliseconds, std::uint64_t showing)
{
    stopCountdown();
    m_countdown = new QTimer(this);
    m_countdown->setObjectName(QStringLiteral("AboutCountdown"));
    m_countdown->setSingleShot(true);
    m_countdown->setInterval(milliseconds);
    connect(m_countdown, &QTimer::timeout, this, [this, showing] { m_core.countdownExpired(showing); });
    m_countdown->start();
}

void TAboutDlg::stopCountdown() noexcept
{
    delete m_countdown;
    m_countdown = nullptr;
}

QWidget *TAboutDlg::hostWindow() const
{
    auto *owner = qobject_cast<QWidget *>(parent());
    return owner ? owner->window() : nullptr;
}
