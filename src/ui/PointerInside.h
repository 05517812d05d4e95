#pragma once

#include "ui/ClientControls.h"

class QEvent;
class QTimer;

namespace kelvane {

// Whether the pointer is on the client, known from the window system's enter and leave events
// and from the drags over the client, never from where the pointer is said to be: over a
// Wayland window the X pointer position stays where it last was over an X11 window. The hover
// poll runs only while the pointer is on the client.
class PointerInside {
public:
    explicit PointerInside(QTimer& hoverPoll) : hoverPoll_(hoverPoll) {}

    // An event on the client window (hit None) or on one of its controls.
    void observe(const ClientControls::Hit& hit, const QEvent* event, bool onWindow);
    // The pointer is on the client, or a drag is over it.
    bool inside() const { return inside_; }
    // The label a drag is over, -1 for none; the drag's own position, not the pointer's.
    int dragLabel() const { return dragLabel_; }

private:
    void set(bool inside);

    QTimer& hoverPoll_;
    bool inside_ = false;
    int dragLabel_ = -1;
};

} // namespace kelvane
