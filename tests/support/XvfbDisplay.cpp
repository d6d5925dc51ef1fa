#include "XvfbDisplay.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

template <typename Reply> std::unique_ptr<Reply, decltype(&std::free)> owned(Reply *reply)
{
    return {reply, &std::free};
}

xcb_atom_t atom(xcb_connection_t *x, const char *name)
{
    const auto reply = owned(
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

XvfbDisplay::XvfbDisplay() = default;

XvfbDisplay::~XvfbDisplay()
{
    if (m_x)
        xcb_disconnect(m_x);
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
        m_server->start(QStringLiteral("Xvfb"),
                        {QStringLiteral(":%1").arg(n), QStringLiteral("-displayfd"), QStringLiteral("1"),
                         QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QByteArray said;
        const bool ready = QTest::qWaitFor(
            [&] {
                said += m_server->readAllStandardOutput();
                return said.split('\n').contains(QByteArray::number(n)) || m_server->state() == QProcess::NotRunning;
            },
            20000);
        if (ready && m_server->state() == QProcess::Running) {
            m_name = QStringLiteral(":%1").arg(n);
            return QTest::qWaitFor(
                [this] {
                    if (m_x)
                        xcb_disconnect(m_x);
                    m_x = xcb_connect(qPrintable(m_name), nullptr);
                    return !xcb_connection_has_error(m_x);
                },
                5000);
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
    if (!m_x)
        return 0;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_x)).data->root;
    const auto tree = owned(xcb_query_tree_reply(m_x, xcb_query_tree(m_x, root), nullptr));
    if (!tree)
        return 0;
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const auto attributes =
            owned(xcb_get_window_attributes_reply(m_x, xcb_get_window_attributes(m_x, children[i]), nullptr));
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            continue;
        const auto name = owned(xcb_get_property_reply(
            m_x, xcb_get_property(m_x, 0, children[i], XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 256), nullptr));
        if (name && QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(name.get())),
                                      xcb_get_property_value_length(name.get())) == title)
            return children[i];
    }
    return 0;
}

bool XvfbDisplay::askToClose(quint32 window) const
{
    if (!m_x)
        return false;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(m_x, "WM_PROTOCOLS");
    event.data.data32[0] = atom(m_x, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(m_x, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
    return xcb_flush(m_x) > 0;
}
