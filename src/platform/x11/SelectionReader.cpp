#include "platform/x11/SelectionReader.h"

#include "platform/x11/Ewmh.h"
#include "platform/x11/XdndWatch.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdlib>
#include <xcb/xcb.h>

namespace kelvane {
namespace {

constexpr uint32_t kChunkUnits = 256 * 1024; // 1 MiB a request, in 32-bit units
constexpr int kFirstPartMs = 500;
constexpr int kWholeAnswerMs = 30'000; // however steadily the parts come
constexpr unsigned kProperties = 8;

} // namespace

struct SelectionReader::Transfer {
    xcb_atom_t target = XCB_ATOM_NONE;
    xcb_atom_t property = XCB_ATOM_NONE; // where this request's answer is written
    qint64 maxBytes = 0;
    QByteArray data;
    bool incremental = false; // the source sends the data in parts (INCR)
    bool progressed = false;  // something came since the last look
    bool done = false;
};

SelectionReader::SelectionReader(const XdndWatch& drag) : drag_(drag) {}

SelectionReader::~SelectionReader() {
    if (c_)
        xcb_disconnect(c_);
}

bool SelectionReader::open() {
    if (c_)
        return !xcb_connection_has_error(c_);
    if (!ewmh::connection())
        return false; // no X server: the toolkit asks
    c_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c_))
        return false;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    window_ = xcb_generate_id(c_);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE; // the parts of an INCR answer
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
    xcb_flush(c_);
    return !xcb_connection_has_error(c_);
}

std::optional<QByteArray> SelectionReader::read(const QString& format, int waitMs,
                                                qint64 maxBytes) {
    if (!open())
        return std::nullopt;
    if (reading_)
        return QByteArray();
    reading_ = true;
    const auto done = qScopeGuard([this] { reading_ = false; });
    // The toolkit lists a type under its atom's name, read as Latin-1.
    const QByteArray name = format.toLatin1();
    Transfer transfer = ask(ewmh::atom(c_, name.constData()), waitMs, maxBytes);
    // Firefox may offer the file list only as text/x-moz-url: the address, a line break and
    // the title, in UTF-16. Asked only when the source refused the first.
    if (format == u"text/uri-list" && transfer.done && transfer.data.isEmpty()) {
        const QByteArray mozUrl = ask(ewmh::atom(c_, "text/x-moz-url"), waitMs, maxBytes).data;
        const QString text = QString::fromUtf16(
            reinterpret_cast<const char16_t*>(mozUrl.constData()), mozUrl.size() / 2);
        if (!text.isEmpty())
            transfer.data = text.section(u'\n', 0, 0).trimmed().toUtf8() + "\r\n";
    }
    return transfer.data; // empty unless done
}

SelectionReader::Transfer SelectionReader::ask(uint32_t target, int waitMs, qint64 maxBytes) {
    Transfer transfer;
    transfer.target = target;
    transfer.maxBytes = maxBytes;
    const QByteArray property =
        "KELVANE_DROP_DATA_" + QByteArray::number(requests_++ % kProperties);
    transfer.property = ewmh::atom(c_, property.constData());
    xcb_delete_property(c_, window_, transfer.property);
    xcb_convert_selection(c_, window_, ewmh::atom(c_, "XdndSelection"), target, transfer.property,
                          drag_.dropTime());
    xcb_flush(c_);
    QElapsedTimer whole;
    whole.start();

    // The window's events go on while the answer comes; the user's input waits for its end,
    // so that nothing the drop relies on is closed under it.
    QEventLoop loop;
    QSocketNotifier readable(xcb_get_file_descriptor(c_), QSocketNotifier::Read);
    QTimer quiet; // no answer, or no next part, for this long: the source is given up
    quiet.setSingleShot(true);
    const auto pump = [&] {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
            handle(event, transfer);
            std::free(event);
        }
        if (transfer.done || xcb_connection_has_error(c_) || whole.elapsed() > kWholeAnswerMs) {
            loop.quit();
            return false;
        }
        // A source that has begun an answer in parts sends the first at once. Chromium never
        // sends one during a drag (above about 1 MiB), and drops the drag's data a second
        // after the release: the download is left time to start.
        if (transfer.progressed)
            quiet.start(transfer.incremental && transfer.data.isEmpty()
                            ? std::min(waitMs, kFirstPartMs)
                            : waitMs);
        transfer.progressed = false;
        return true;
    };
    QObject::connect(&readable, &QSocketNotifier::activated, &loop, pump);
    QObject::connect(&quiet, &QTimer::timeout, &loop, &QEventLoop::quit);
    quiet.start(waitMs);
    if (pump())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!transfer.done)
        transfer.data.clear(); // no answer, or only part of one
    return transfer;
}

void SelectionReader::handle(const void* xcbEvent, Transfer& transfer) {
    const auto* event = static_cast<const xcb_generic_event_t*>(xcbEvent);
    switch (event->response_type & 0x7f) {
    case XCB_SELECTION_NOTIFY: {
        const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
        if (notify->requestor != window_ || transfer.incremental)
            return;
        // A refusal names no property; Qt's names no type either.
        if (notify->property == XCB_ATOM_NONE &&
            (notify->target == transfer.target || notify->target == XCB_ATOM_NONE))
            transfer.done = true;
        else if (notify->property == transfer.property && notify->target == transfer.target)
            readProperty(transfer);
        return; // else a late answer to an earlier request
        return;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (transfer.incremental && notify->window == window_ &&
            notify->atom == transfer.property && notify->state == XCB_PROPERTY_NEW_VALUE)
            readProperty(transfer);
        return;
    }
    default:
        return;
    }
}

void SelectionReader::readProperty(Transfer& transfer) {
    QByteArray part;
    xcb_atom_t type = XCB_ATOM_NONE;
    for (uint32_t offset = 0;; offset += kChunkUnits) {
        // Deleted with its last part read: for an INCR answer, that asks for the next part.
        const auto cookie = xcb_get_property(c_, 1, window_, transfer.property,
                                             XCB_GET_PROPERTY_TYPE_ANY, offset, kChunkUnits);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(c_, cookie, nullptr);
        if (!reply) {
            transfer.done = true;
            transfer.data.clear();
            return;
        }
        type = reply->type;
        part.append(static_cast<const char*>(xcb_get_property_value(reply)),
                    xcb_get_property_value_length(reply));
        const uint32_t after = reply->bytes_after;
        std::free(reply);
        if (after == 0 || transfer.data.size() + part.size() > transfer.maxBytes)
            break;
    }
    if (transfer.incremental && type == XCB_ATOM_NONE)
        return; // no part there (a notice of an earlier one): not the end
    transfer.progressed = true;
    if (!transfer.incremental && type == ewmh::atom(c_, "INCR")) {
        transfer.incremental = true; // deleting the property started the parts
        return;
    }
    transfer.data += part;
    if (!transfer.incremental || part.isEmpty()) // an empty part ends the parts
        transfer.done = true;
    if (transfer.data.size() > transfer.maxBytes) {
        transfer.data.truncate(transfer.maxBytes + 1);
        transfer.done = true;
    }
}

} // namespace kelvane
