#include "platform/x11/Ewmh.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QHash>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

namespace kelvane::ewmh {

xcb_connection_t* connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Atoms never change while the connection lasts: each is asked for once.
xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    static QHash<QByteArray, xcb_atom_t> known;
    const auto found = known.constFind(name);
    if (found != known.constEnd())
        return *found;
    auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    if (result != XCB_ATOM_NONE)
        known.insert(name, result);
    return result;
}

namespace {

xcb_window_t rootOf(xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
    return it.rem ? it.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

// Before mapping, the window manager reads _NET_WM_STATE from the window itself.
void writeStateProperty(xcb_connection_t* c, xcb_window_t w, xcb_atom_t wmState, xcb_atom_t state,
                        bool on) {
    auto cookie = xcb_get_property(c, 0, w, wmState, XCB_ATOM_ATOM, 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    std::vector<xcb_atom_t> atoms;
    if (reply && reply->format == 32) {
        auto* data = static_cast<xcb_atom_t*>(xcb_get_property_value(reply));
        atoms.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    std::erase(atoms, state);
    if (on)
        atoms.push_back(state);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, wmState, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(atoms.size()), atoms.data());
}

} // namespace

namespace {

void sendToRoot(xcb_connection_t* c, xcb_window_t window, xcb_atom_t type,
                std::initializer_list<uint32_t> data) {
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = window;
    ev.type = type;
    int i = 0;
    for (uint32_t value : data)
        ev.data.data32[i++] = value;
    xcb_send_event(c, 0, rootOf(c),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&ev));
}

} // namespace

bool setShowingDesktop(bool on) {
    xcb_connection_t* c = connection();
    if (!c)
        return false;
    sendToRoot(c, rootOf(c), atom(c, "_NET_SHOWING_DESKTOP"), {on ? 1u : 0u});
    xcb_flush(c);
    return true;
}

std::optional<QPoint> windowPosition(QWidget* window) {
    xcb_connection_t* c = connection();
    if (!c || !window || !window->windowHandle())
        return std::nullopt;
    const auto w = static_cast<xcb_window_t>(window->windowHandle()->winId());
    auto cookie = xcb_translate_coordinates(c, w, rootOf(c), 0, 0);
    xcb_translate_coordinates_reply_t* reply = xcb_translate_coordinates_reply(c, cookie, nullptr);
    if (!reply)
        return std::nullopt;
    const QPoint at(reply->dst_x, reply->dst_y);
    std::free(reply);
    return at;
}

bool activateWindow(QWidget* window) {
    xcb_connection_t* c = connection();
    if (!c || !window)
        return false;
    const auto w = static_cast<xcb_window_t>(window->window()->winId());
    // Source 2: on the user's behalf (a click on the tray icon), which window managers honour
    // where they would refuse an application stealing the focus; no time stamp.
    sendToRoot(c, w, atom(c, "_NET_ACTIVE_WINDOW"), {2u, 0u, 0u});
    xcb_flush(c);
    return true;
}

bool setWmState(QWidget* window, const char* stateAtom, bool on) {
    xcb_connection_t* c = connection();
    if (!c || !window)
        return false;
    const auto w = static_cast<xcb_window_t>(window->window()->winId());
    const xcb_atom_t wmState = atom(c, "_NET_WM_STATE");
    const xcb_atom_t state = atom(c, stateAtom);
    if (!window->window()->isVisible()) {
        writeStateProperty(c, w, wmState, state, on);
    } else {
        // _NET_WM_STATE_ADD (1) or _REMOVE (0); the last word says a normal application asks.
        sendToRoot(c, w, wmState, {on ? 1u : 0u, state, 0u, 1u});
    }
    xcb_flush(c);
    return true;
}

bool setWindowType(QWidget* window, const char* typeAtom) {
    xcb_connection_t* c = connection();
    if (!c || !window)
        return false;
    const xcb_atom_t type = atom(c, typeAtom);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()),
                        atom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &type);
    xcb_flush(c);
    return true;
}

QString windowManagerName() {
    xcb_connection_t* c = connection();
    if (!c)
        return {};
    const auto read = [c](xcb_window_t w, xcb_atom_t property, xcb_atom_t type) {
        auto cookie = xcb_get_property(c, 0, w, property, type, 0, 256);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
        QByteArray value;
        if (reply && reply->type == type)
            value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                               xcb_get_property_value_length(reply));
        std::free(reply);
        return value;
    };
    const QByteArray check = read(rootOf(c), atom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW);
    if (check.size() != 4)
        return {};
    xcb_window_t wm = 0;
    std::memcpy(&wm, check.constData(), 4);
    return QString::fromUtf8(read(wm, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING")));
}

} // namespace kelvane::ewmh
