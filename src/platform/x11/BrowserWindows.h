#pragma once

#include <QHash>
#include <cstdint>

namespace kelvane {

// Whether a browser main window exists: any top-level window the window manager holds (shown
// or minimised) whose WM_CLASS names a browser. Asked afresh on every call and cheap: the
// window manager's client list is one request; a window's class is asked once, when the
// window first appears in the list. Without a window manager, the root window's children
// stand in for the list.
class BrowserWindows {
public:
    bool exist();

    // True when a WM_CLASS value (instance and class, each NUL-ended) names a browser main
    // window.
    static bool isBrowserClass(const QByteArray& wmClass);

private:
    QHash<uint32_t, bool> known_; // window id: is a browser
};

} // namespace kelvane
