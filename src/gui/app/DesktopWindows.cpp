// SPDX-License-Identifier: MIT
#include "gui/app/DesktopWindows.h"

#include "gui/app/X11Connection.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#if defined(QP_HAVE_XCB) && QT_CONFIG(xcb)
#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <unistd.h>
#endif

namespace qp {

#if defined(QP_HAVE_XCB) && QT_CONFIG(xcb)
namespace {

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> owned(Reply* reply)
{
    return ReplyPtr<Reply>(reply, &std::free);
}

xcb_window_t rootOf(xcb_connection_t* c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

QByteArray property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    auto reply = owned(xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, 4096), nullptr));
    if (!reply)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

void sendToWindowManager(xcb_connection_t* c, xcb_window_t window, xcb_atom_t type, std::array<uint32_t, 5> data)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::copy(data.begin(), data.end(), event.data.data32);
    xcb_send_event(c, 0, rootOf(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

} // namespace
#endif

QList<QPoint> otherProgramWindowCorners(const QWindow* own)
{
    QList<QPoint> corners;
#if defined(QP_HAVE_XCB) && QT_CONFIG(xcb)
    xcb_connection_t* c = x11Connection();
    if (!c || !own)
        return corners;
    const xcb_window_t ownId = xcb_window_t(own->winId());
    const xcb_window_t root = rootOf(c);
    const QByteArray ownClass = property(c, ownId, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
    const xcb_atom_t pidAtom = x11Atom(c, "_NET_WM_PID");
    const QByteArray list = property(c, root, x11Atom(c, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW);
    const auto* windows = reinterpret_cast<const xcb_window_t*>(list.constData());
    for (qsizetype i = 0; i < list.size() / qsizetype(sizeof(xcb_window_t)); ++i) {
        const xcb_window_t w = windows[i];
        if (w == ownId || ownClass.isEmpty() || property(c, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING) != ownClass)
            continue;
        const QByteArray pid = property(c, w, pidAtom, XCB_ATOM_CARDINAL);
        if (pid.size() == 4 && *reinterpret_cast<const uint32_t*>(pid.constData()) == uint32_t(getpid()))
            continue;
        auto at = owned(xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, root, 0, 0), nullptr));
        if (at)
            corners << QPoint(at->dst_x, at->dst_y);
    }
#else
    Q_UNUSED(own);
#endif
    return corners;
}

namespace {

// Asks the window manager to put the window on top of the others.
void requestRaise(QWindow* window)
{
#if defined(QP_HAVE_XCB) && QT_CONFIG(xcb)
    if (xcb_connection_t* c = x11Connection()) {
        enum : uint32_t { SourcePager = 2, StackAbove = 0 };
        sendToWindowManager(c, xcb_window_t(window->winId()), x11Atom(c, "_NET_RESTACK_WINDOW"),
                            {SourcePager, 0, StackAbove, 0, 0});
        xcb_flush(c);
    }
#endif
    window->raise();
}

} // namespace

void raiseAndActivate(QWindow* window)
{
    if (!window)
        return;
#if defined(QP_HAVE_XCB) && QT_CONFIG(xcb)
    if (xcb_connection_t* c = x11Connection()) {
        enum : uint32_t { SourcePager = 2, CurrentTime = 0 };
        sendToWindowManager(c, xcb_window_t(window->winId()), x11Atom(c, "_NET_ACTIVE_WINDOW"),
                            {SourcePager, CurrentTime, 0, 0, 0});
        xcb_flush(c);
    }
#endif
    window->requestActivate();
    requestRaise(window);
    if (window->isActive())
        return;
    // Some window managers (openbox) keep a window that is not active where it is in the stack,
    // and activate it without raising it: it is raised again once it has become the active one.
    // A window that does not become active within a few seconds is left as it is.
    auto* watch = new QObject(window);
    QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, watch, [window, watch](QWindow* focused) {
        if (focused != window)
            return;
        requestRaise(window);
        watch->deleteLater();
    });
    QTimer::singleShot(5000, watch, [watch] { watch->deleteLater(); });
}

} // namespace qp
