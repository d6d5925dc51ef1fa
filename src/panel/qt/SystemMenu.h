// SystemMenu: the window's system menu. Linux desktops keep that menu to the window manager (Alt+Space),
// where a program can neither add entries nor hear the choice, so this is a replica of a Windows system
// menu: the usual window entries under the numbers Windows gives their commands, edited through the same
// operations (change an entry's text by command, delete by position, append), opened by a right-click on
// the window or the keyboard's context-menu key. Every choice comes out as command(id); what a standard
// command does is defaultProcessing(), which the window's own handler calls first, as it would pass the
// message on to the system.
// Collaborations: the panel edits it at start-up and handles command().
// Threads: GUI thread.
#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QPoint;
class QWidget;

class SystemMenu : public QObject {
    Q_OBJECT

public:
    // The standard commands, by the numbers Windows gives them.
    enum Command : int {
        ScSize = 0xF000,
        ScMove = 0xF010,
        ScMinimize = 0xF020,
        ScMaximize = 0xF030,
        ScClose = 0xF060,
        ScRestore = 0xF120,
    };

    // The standard menu of a sizeable window: Restore, Move, Size, Minimize, Maximize, a separator, Close.
    explicit SystemMenu(QWidget *window);

    QMenu *menu() const { return m_menu; }

    // The entry with that command reads text and keeps its command; false when there is no such entry.
    bool setCommandText(int command, const QString &text);
    // Deletes the entry at position, whatever it is; false when there is none.
    bool removeAt(int position);
    void appendSeparator();
    void append(int command, const QString &text);

    // The command of an entry, 0 for a separator.
    static int commandOf(const QAction *entry);

    // Greys out what the window's state rules out, as the system does before the menu opens, and opens it.
    void popup(const QPoint &globalPos);

    // What the system does with a standard command for window; the low four bits are the system's own and
    // are ignored. False for any other command.
    static bool defaultProcessing(QWidget *window, int command);

signals:
    void command(int id);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateStates();

    QWidget *m_window;
    QMenu *m_menu;
};
