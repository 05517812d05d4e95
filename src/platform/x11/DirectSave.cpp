#include "platform/x11/DirectSave.h"

#include "platform/x11/Ewmh.h"
#include "platform/x11/XdndWatch.h"

#include <cstdlib>
#include <xcb/xcb.h>

namespace kelvane {
namespace {

constexpr uint32_t kMaxPropertyLength = 16 * 1024; // in 32-bit units

QByteArray readProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
    auto cookie =
        xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, kMaxPropertyLength);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    QByteArray value;
    if (reply && reply->format == 8)
        value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
    std::free(reply);
    return value;
}

} // namespace

QString DirectSave::proposedName() const {
    xcb_connection_t* c = ewmh::connection();
    if (!c || !drag_.source())
        return {};
    return QString::fromUtf8(readProperty(c, drag_.source(), ewmh::atom(c, "XdndDirectSave0")));
}

drops::DirectSaveAnswer DirectSave::request(const std::function<QByteArray()>& ask,
                                            const QString& fileUri) const {
    xcb_connection_t* c = ewmh::connection();
    const xcb_window_t source = drag_.dropSource();
    if (!c || !source)
        return {};
    const xcb_atom_t property = ewmh::atom(c, "XdndDirectSave0");
    const QByteArray uri = fileUri.toUtf8();
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, source, property, ewmh::atom(c, "text/plain"), 8,
                        uint32_t(uri.size()), uri.constData());
    // The request goes out on another connection: the property is in place before it.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    // Asking for the selection in this form is what makes the source save the file.
    const QByteArray answer = ask();
    drops::DirectSaveAnswer result;
    result.answer = answer.isEmpty() ? 'E' : answer.at(0);
    if (result.answer == 'S')
        result.writtenUri = QString::fromUtf8(readProperty(c, source, property)).trimmed();
    // The source's property is not left pointing at the drop cache.
    xcb_delete_property(c, source, property);
    xcb_flush(c);
    return result;
}

} // namespace kelvane
