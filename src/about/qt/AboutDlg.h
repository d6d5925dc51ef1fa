// TAboutDlg: the non-visual About component that the panel owns for the whole run, as a Qt object.
//
// Responsibilities: the Qt face of AboutCore, which keeps the texts and the timer option and decides every
// showing (a fresh box each time, released whatever happens, a second request raising the box that is up,
// the 15-second countdown bound to its own showing). This face keeps the icon, makes each TAboutBox and fills
// it, and runs the countdown as a QTimer. The core keeps the texts as UTF-8. When the owner is a widget, the
// box is a dialog of the owner's window and modal to that window only.
// Collaborations: the panel hands over the texts (setTexts) and the icon at start-up and calls Execute from
// its system menu and its tray menu. The component knows nothing of radios.
// Threads: GUI thread only; the showing runs a nested event loop, through which the countdown also arrives.
#pragma once

#include "about/core/AboutCore.h"

#include <QIcon>
#include <QObject>
#include <QString>

class QTimer;
class QWidget;

class TAboutDlg : public QObject, private AboutFace {
    Q_OBJECT
    Q_PROPERTY(QString Title READ Title WRITE setTitle)
    Q_PROPERTY(QString ProductName READ ProductName WRITE setProductName)
    Q_PROPERTY(QString CopyRight READ CopyRight WRITE setCopyRight)
    Q_PROPERTY(QString Programmer READ Programmer WRITE setProgrammer)
    Q_PROPERTY(QString WebSite READ WebSite WRITE setWebSite)
    Q_PROPERTY(QIcon Icon READ Icon WRITE setIcon)
    Q_PROPERTY(bool Timer READ Timer WRITE setTimer)

public:
    static constexpr int DefaultCountdownMs = AboutCore::DefaultCountdownMs;

    explicit TAboutDlg(QObject *owner);
    ~TAboutDlg() override;

    TAboutDlg(const TAboutDlg &) = delete;
    TAboutDlg &operator=(const TAboutDlg &) = delete;

    QString Title() const { return QString::fromStdString(m_core.Title()); }
    void setTitle(const QString &value) { m_core.setTitle(value.toStdString()); }
    QString ProductName() const { return QString::fromStdString(m_core.ProductName()); }
    void setProductName(const QString &value) { m_core.setProductName(value.toStdString()); }
    QString CopyRight() const { return QString::fromStdString(m_core.CopyRight()); }
    void setCopyRight(const QString &value) { m_core.setCopyRight(value.toStdString()); }
    QString Programmer() const { return QString::fromStdString(m_core.Programmer()); }
    void setProgrammer(const QString &value) { m_core.setProgrammer(value.toStdString()); }
    QString WebSite() const { return QString::fromStdString(m_core.WebSite()); }
    void setWebSite(const QString &value) { m_core.setWebSite(value.toStdString()); }

    // All the texts at once, as the panel hands them over.
    void setTexts(const AboutTexts &texts) { m_core.setTexts(texts); }

    // The component's own icon: the host may change it in place. Writing copies the given icon.
    QIcon &Icon() { return m_icon; }
    const QIcon &Icon() const { return m_icon; }
    void setIcon(const QIcon &value) { m_icon = value; }

    bool Timer() const { return m_core.Timer(); }
    void setTimer(bool value) { m_core.setTimer(value); }

    // Shows the box modally and returns when it has closed; with a box already on screen, raises that box
    // and returns at once. Errors while filling or showing pass to the caller after the box is released.
    void Execute() { m_core.Execute(); }

    // How long a showing with Timer on stays up. Only tests shorten it.
    int countdownInterval() const { return m_core.countdownInterval(); }
    void setCountdownInterval(int ms) { m_core.setCountdownInterval(ms); }

private:
    std::unique_ptr<Box> createBox() override;
    void startCountdown(int milliseconds, std::uint64_t showing) override;
    void stopCountdown() noexcept override;

    // The window of the owner when the owner is a widget: the box's parent.
    QWidget *hostWindow() const;

    QTimer *m_countdown = nullptr;
    QIcon m_icon;
    AboutCore m_core{*this};
};
