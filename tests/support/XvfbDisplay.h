// XvfbDisplay: an X display of its own (Xvfb) for a test or benchmark that runs the real program, and the one
// thing a window manager does that they need: asking a window to close, as its close button would.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <memory>

struct xcb_connection_t;

class XvfbDisplay {
public:
    XvfbDisplay();
    ~XvfbDisplay();

    XvfbDisplay(const XvfbDisplay &) = delete;
    XvfbDisplay &operator=(const XvfbDisplay &) = delete;

    static bool installed();
    // Starts Xvfb on a free display; false if none could be started.
    bool start();
    // The system environment with this display, for a Qt program to show its windows on it.
    QProcessEnvironment environment() const;

    // The shown top-level window titled title, or 0.
    quint32 findWindow(const QString &title) const;
    // Sends the window WM_DELETE_WINDOW, as a window manager does when its close button is clicked.
    bool askToClose(quint32 window) const;

private:
    std::unique_ptr<QProcess> m_server;
    QString m_name;
    // One connection for the display's life: Xvfb refuses some of many quick connections in a row.
    xcb_connection_t *m_x = nullptr;
};
