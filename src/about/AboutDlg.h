// TAboutDlg: the non-visual About component that the panel owns for the whole run.
//
// Responsibilities: keep the texts, the icon and the timer option that the host gives it (plain stored
// values: a write replaces the value and does nothing else); on Execute, build a fresh TAboutBox from its
// layout and the current values, show it modally, and release it when it closes, also when filling or
// showing it fails. With Timer on, a showing that nobody ends closes itself after 15 seconds. When the owner
// is a widget, the box is a dialog of the owner's window and modal to that window only.
// A request while a box is on screen (the tray menu stays usable during the modal showing) brings that box
// to the front and returns at once; it never opens a second box.
// Collaborations: the panel sets the properties at start-up and calls Execute from its system menu and its
// tray menu. The component knows nothing of radios.
// Threads: GUI thread only; the showing runs a nested event loop, through which the countdown also arrives.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

class QTimer;
class QWidget;
class TAboutBox;

class TAboutDlg : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Title READ Title WRITE setTitle)
    Q_PROPERTY(QString ProductName READ ProductName WRITE setProductName)
    Q_PROPERTY(QString CopyRight READ CopyRight WRITE setCopyRight)
    Q_PROPERTY(QString Programmer READ Programmer WRITE setProgrammer)
    Q_PROPERTY(QString WebSite READ WebSite WRITE setWebSite)
    Q_PROPERTY(QIcon Icon READ Icon WRITE setIcon)
    Q_PROPERTY(bool Timer READ Timer WRITE setTimer)

public:
    static constexpr int DefaultCountdownMs = 15000;

    explicit TAboutDlg(QObject *owner);
    ~TAboutDlg() override;

    TAboutDlg(const TAboutDlg &) = delete;
    TAboutDlg &operator=(const TAboutDlg &) = delete;

    const QString &Title() const { return m_title; }
    void setTitle(const QString &value) { m_title = value; }
    const QString &ProductName() const { return m_productName; }
    void setProductName(const QString &value) { m_productName = value; }
    const QString &CopyRight() const { return m_copyright; }
    void setCopyRight(const QString &value) { m_copyright = value; }
    const QString &Programmer() const { return m_programmer; }
    void setProgrammer(const QString &value) { m_programmer = value; }
    const QString &WebSite() const { return m_webSite; }
    void setWebSite(const QString &value) { m_webSite = value; }

    // The component's own icon: the host may change it in place. Writing copies the given icon.
    QIcon &Icon() { return m_icon; }
    const QIcon &Icon() const { return m_icon; }
    void setIcon(const QIcon &value) { m_icon = value; }

    bool Timer() const { return m_timerOption; }
    void setTimer(bool value) { m_timerOption = value; }

    // Shows the box modally and returns when it has closed; with a box already on screen, raises that box
    // and returns at once. Errors while filling or showing pass to the caller after the box is released.
    void Execute();

    // How long a showing with Timer on stays up. Only tests shorten it.
    int countdownInterval() const { return m_countdownMs; }
    void setCountdownInterval(int ms) { m_countdownMs = ms; }

private:
    // The window of the owner when the owner is a widget: the box's parent.
    QWidget *hostWindow() const;
    static void centreOnScreen(QWidget *box, QWidget *host);
    void startCountdown(TAboutBox *box);
    void stopCountdown();

    QString m_productName;
    QString m_copyright;
    QString m_title;
    QString m_programmer;
    QString m_webSite;
    bool m_timerOption = false;
    QTimer *m_countdown = nullptr;
    QIcon m_icon;
    QPointer<TAboutBox> m_box;
    int m_countdownMs = DefaultCountdownMs;
};
