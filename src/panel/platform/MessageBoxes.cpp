#include "MessageBoxes.h"

#include <utility>

namespace MessageBoxes {
namespace {

Handler &handlerSlot()
{
    static Handler handler;
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
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

void showError(QWidget *parent, const QString &message)
{
    show(parent, {applicationTitle(), errorText(message), Icon::Stop, QMessageBox::Ok});
}

} // namespace MessageBoxes
