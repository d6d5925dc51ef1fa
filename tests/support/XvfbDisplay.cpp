#include "XvfbDisplay.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct Connection {
    explicit Connection(const QString &display) : c(xcb_connect(qPrintable(display), nullptr)) {}
    ~Connection() { xcb_disconnect(c); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    bool ok() const { return c && !xcb_connection_has_error(c); }

    template <typename Reply> static std::unique_ptr<Reply, decltype(&std::free)> owned(Reply *reply)
    {
        return {reply, &std::free};
    }

    xcb_atom_t atom(const char *name) const
    {
        const auto reply = owned(xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    xcb_connection_t *c;
};

} // namespace

XvfbDisplay::XvfbDisplay() = default;

XvfbDisplay::~XvfbDisplay()
{
    if (m_server && m_server->state() != QProcess::NotRunning) {
        m_server->terminate();
        if (!m_server->waitForFinished(3000)) {
            m_server->kill();
            m_server->waitForFinished(3000);
        }
    }
}

bool XvfbDisplay::installed()
{
    return !QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty();
}

bool XvfbDisplay::start()
{
    // -displayfd reports the display once this server is ready on it, never one that another server holds.
    for (int n = 80; n <= 89; ++n) {
        if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
            QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        m_server = std::make_unique<QProcess>();
        m_server->start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(n), QStringLiteral("-displayfd"),
                                                  QStringLiteral("1"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QByteArray said;
        const bool ready = QTest::qWaitFor(
            [&] {
                said += m_server->readAllStandardOutput();
                return said.split('\n').contains(QByteArray::number(n)) || m_server->state() == QProcess::NotRunning;
            },
            20000);
        if (ready && m_server->state() == QProcess::Running) {
            m_name = QStringLiteral(":%1").arg(n);
            return true;
        }
        m_server->kill();
        m_server->waitForFinished(3000);
    }
    return false;
}

QProcessEnvironment XvfbDisplay::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_name);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
    return environment;
}

quint32 XvfbDisplay::findWindow(const QString &title) const
{
    const Connection x(m_name);
    if (!x.ok())
        return 0;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x.c)).data->root;
    const auto tree = Connection::owned(xcb_query_tree_reply(x.c, xcb_query_tree(x.c, root), nullptr));
    if (!tree)
        return 0;
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const auto attributes = Connection::owned(
            xcb_get_window_attributes_reply(x.c, xcb_get_window_attributes(x.c, children[i]), nullptr));
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            continue;
        const auto name = Connection::owned(xcb_get_property_reply(
            x.c, xcb_get_property(x.c, 0, children[i], XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 256), nullptr));
        if (name && QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(name.get())),
                                      xcb_get_property_value_length(name.get())) == title)
            return children[i];
    }
    return 0;
}

bool XvfbDisplay::askToClose(quint32 window) const
{
    const Connection x(m_name);
    if (!x.ok())
        return false;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = x.atom("WM_PROTOCOLS");
    event.data.data32[0] = x.atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(x.c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
    return xcb_flush(x.c) > 0;
}
