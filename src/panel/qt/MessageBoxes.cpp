#include "panel/qt/MessageBoxes.h"

#include "panel/core/PanelCore.h"

#include <utility>

namespace MessageBoxes {
namespace {

Handler &handlerSlot()
{
    static Handler handler;
    return handler;
}

NoteHandler &noteHandlerSlot()
{
    static NoteHandler handler;
    return handler;
}

QString &titleSlot()
{
    static QString title;
    return title;
}

} // namespace

QMessageBox::StandardButton show(QWidget *parent, const Request &request)
{
    // A copy, so that a handler may replace itself while it runs.
    const Handler handler = handlerSlot();
    return handler ? handler(parent, request) : showBox(parent, request);
}

Handler setHandler(Handler handler)
{
    return std::exchange(handlerSlot(), std::move(handler));
}

QMessageBox::StandardButton showBox(QWidget *parent, const Request &request)
{
    QMessageBox box(request.icon == Icon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon, request.caption,
                    request.text, request.buttons, parent);
    box.setTextFormat(Qt::PlainText);
    // Modal to the panel only: the window manager keeps the box with the panel, and the tray icon, another
    // window of the program, still answers while the box is up.
    box.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    if (request.buttons & QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString applicationTitle()
{
    return titleSlot();
}

void setApplicationTitle(const QString &title)
{
    titleSlot() = title;
}

QString errorText(const QString &message)
{
    return QString::fromStdString(Panel::errorText(message.toStdString()));
}

void note(QWidget *parent, const Request &request)
{
    const NoteHandler handler = noteHandlerSlot();
    if (handler)
        return handler(parent, request);
    auto *box = new QMessageBox(request.icon == Icon::Stop ? QMessageBox::Critical : QMessageBox::Information,
                                request.caption, request.text, QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

NoteHandler setNoteHandler(NoteHandler handler)
{
    return std::exchange(noteHandlerSlot(), std::move(handler));
}

void showError(QWidget *parent, const QString &message)
{
    show(parent, {applicationTitle(), errorText(message), Icon::Stop, QMessageBox::Ok});
}

} // namespace MessageBoxes
