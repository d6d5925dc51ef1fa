// MessageBoxes: every box the panel shows goes through show(), one function that tests replace, so a test
// can read what would have been shown and answer it without a nested event loop.
//
// Also keeps the application title, the caption of the general error display. It is ours, not
// QGuiApplication's display name, which some platforms append to every window title.
// Threads: GUI thread only.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

namespace MessageBoxes {

enum class Icon { None, Stop };

struct Request {
    QString caption;
    QString text;
    Icon icon = Icon::None;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

// Shows the box, modal to parent's window, and gives the button that closed it (Escape on OK and Cancel gives
// Cancel).
QMessageBox::StandardButton show(QWidget *parent, const Request &request);

using Handler = std::function<QMessageBox::StandardButton(QWidget *parent, const Request &request)>;
// Replaces what show() does; an empty handler brings back the real box. Returns the handler it replaced.
Handler setHandler(Handler handler);

// The real box, whatever handler is set.
QMessageBox::StandardButton showBox(QWidget *parent, const Request &request);

// Shows the box beside parent's window and returns at once; the box goes when it is answered.
void note(QWidget *parent, const Request &request);
using NoteHandler = std::function<void(QWidget *parent, const Request &request)>;
// Replaces what note() does; an empty handler brings back the real box. Returns the handler it replaced.
NoteHandler setNoteHandler(NoteHandler handler);

QString applicationTitle();
void setApplicationTitle(const QString &title);

// The general error display's text (the panel's rule): the message with a full stop appended when its last
// character's code is above that of the full stop.
QString errorText(const QString &message);
// The general error display: stop icon, OK, captioned with the application title.
void showError(QWidget *parent, const QString &message);

} // namespace MessageBoxes
