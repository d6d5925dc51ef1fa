#include "panel/qt/SystemMenu.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QWidget>
#include <QWindow>

namespace {

// The low four bits of a system command are the system's own (how the command was chosen).
constexpr int CommandMask = 0xFFF0;

} // namespace

SystemMenu::SystemMenu(QWidget *window) : QObject(window), m_window(window), m_menu(new QMenu(window))
{
    m_menu->setObjectName(QStringLiteral("SystemMenu"));
    append(ScRestore, QStringLiteral("&Restore"));
    append(ScMove, QStringLiteral("&Move"));
    append(ScSize, QStringLiteral("&Size"));
    append(ScMinimize, QStringLiteral("Mi&nimize"));
    append(ScMaximize, QStringLiteral("Ma&ximize"));
    appendSeparator();
    append(ScClose, QStringLiteral("&Close\tAlt+F4"));
    window->installEventFilter(this);
}

int SystemMenu::commandOf(const QAction *entry)
{
    return entry->data().toInt();
}

bool SystemMenu::setCommandText(int command, const QString &text)
{
    for (QAction *entry : m_menu->actions()) {
        if (!entry->isSeparator() && commandOf(entry) == command) {
            entry->setText(text);
            return true;
        }
    }
    return false;
}

bool SystemMenu::removeAt(int position)
{
    const QList<QAction *> entries = m_menu->actions();
    if (position < 0 || position >= entries.size())
        return false;
    m_menu->removeAction(entries[position]);
    delete entries[position];
    return true;
}

void SystemMenu::appendSeparator()
{
    m_menu->addSeparator();
}

void SystemMenu::append(int command, const QString &text)
{
    QAction *entry = m_menu->addAction(text);
    entry->setData(command);
    connect(entry, &QAction::triggered, this, [this, command] { emit this->command(command); });
}

void SystemMenu::updateStates()
{
    const Qt::WindowStates state = m_window->windowState();
    const bool minimized = state & Qt::WindowMinimized;
    const bool maximized = state & Qt::WindowMaximized;
    for (QAction *entry : m_menu->actions()) {
        switch (commandOf(entry)) {
        case ScRestore:
            entry->setEnabled(minimized || maximized);
            break;
        case ScMove:
            entry->setEnabled(!maximized);
            break;
        case ScSize:
            entry->setEnabled(!minimized && !maximized);
            break;
        case ScMinimize:
            entry->setEnabled(!minimized);
            break;
        case ScMaximize:
            entry->setEnabled(!maximized);
            break;
        default:
            break;
        }
    }
}

void SystemMenu::popup(const QPoint &globalPos)
{
    updateStates();
    m_menu->popup(globalPos);
}

bool SystemMenu::defaultProcessing(QWidget *window, int command)
{
    QWindow *handle = window->windowHandle();
    switch (command & CommandMask) {
    case ScRestore:
        window->showNormal();
        return true;
    case ScMove:
        // The window manager moves the window with the pointer; platforms without that do nothing.
        if (handle)
            handle->startSystemMove();
        return true;
    case ScSize:
        if (handle)
            handle->startSystemResize(Qt::RightEdge | Qt::BottomEdge);
        return true;
    case ScMinimize:
        window->showMinimized();
        return true;
    case ScMaximize:
        window->showMaximized();
        return true;
    case ScClose:
        window->close();
        return true;
    default:
        return false;
    }
}

bool SystemMenu::eventFilter(QObject *watched, QEvent *event)
{
    // Context-menu requests no control of the window took for itself reach the window last.
    if (watched == m_window && event->type() == QEvent::ContextMenu) {
        auto *request = static_cast<QContextMenuEvent *>(event);
        // From the keyboard the menu opens at the window's corner, where the system menu's button would be.
        popup(request->reason() == QContextMenuEvent::Mouse ? request->globalPos() : m_window->mapToGlobal(QPoint()));
        request->accept();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
