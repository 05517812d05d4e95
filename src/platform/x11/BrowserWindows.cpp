#include "platform/x11/BrowserWindows.h"

#include "platform/posix/BrowserProcesses.h"
#include "platform/x11/Ewmh.h"

#include <QByteArrayList>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

namespace kelvane {
namespace {

std::vector<xcb_window_t> clientList(xcb_connection_t* c, xcb_window_t root) {
    std::vector<xcb_window_t> windows;
    auto cookie = xcb_get_property(c, 0, root, ewmh::atom(c, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW,
                                   0, 1 << 20);
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr)) {
        if (reply->format == 32) {
            const auto* ids = static_cast<xcb_window_t*>(xcb_get_property_value(reply));
            windows.assign(ids, ids + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
        if (!windows.empty())
            return windows;
    }
    // No window manager keeps a list: the top-level windows themselves.
    if (xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr)) {
        const xcb_window_t* children = xcb_query_tree_children(tree);
        windows.assign(children, children + xcb_query_tree_children_length(tree));
        std::free(tree);
    }
    return windows;
}

} // namespace

bool BrowserWindows::isBrowserClass(const QByteArray& wmClass) {
    for (const QByteArray& word : wmClass.split('\0'))
        if (isBrowserName(word))
            return true;
    return false;
}

bool BrowserWindows::exist() {
    xcb_connection_t* c = ewmh::connection();
    if (!c)
        return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const std::vector<xcb_window_t> windows = clientList(c, root);

    // Classes of windows not seen before, asked all at once.
    std::vector<std::pair<xcb_window_t, xcb_get_property_cookie_t>> asked;
    for (xcb_window_t w : windows)
        if (!known_.contains(w))
            asked.emplace_back(w, xcb_get_property(c, 0, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0,
                                                   256)); // at most 1 KiB of a huge class
    for (const auto& [w, cookie] : asked) {
        bool browser = false;
        if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr)) {
            if (reply->format == 8)
                browser = isBrowserClass(
                    QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                               xcb_get_property_value_length(reply)));
            std::free(reply);
        }
        known_.insert(w, browser);
    }

    // Forget the windows that are gone; the answer from those that are there.
    QHash<uint32_t, bool> still;
    bool any = false;
    for (xcb_window_t w : windows) {
        const bool browser = known_.value(w);
        still.insert(w, browser);
        any = any || browser;
    }
    known_.swap(still);
    return any;
}

} // namespace kelvane
