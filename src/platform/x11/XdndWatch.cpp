#include "platform/x11/XdndWatch.h"

#include "platform/x11/Ewmh.h"

#include <QCoreApplication>
#include <xcb/xcb.h>

namespace kelvane {

XdndWatch::XdndWatch() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installNativeEventFilter(this);
}

XdndWatch::~XdndWatch() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool XdndWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    xcb_connection_t* c = ewmh::connection();
    if (!c || client->format != 32)
        return false;
    if (client->type == ewmh::atom(c, "XdndEnter")) {
        source_ = client->data.data32[0];
    } else if (client->type == ewmh::atom(c, "XdndDrop")) {
        dropSource_ = client->data.data32[0];
        dropTime_ = client->data.data32[2];
    }
    return false; // Qt handles the drag as ever
}

} // namespace kelvane
