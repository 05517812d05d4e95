#include "ui/PointerInside.h"

#include <QEvent>
#include <QTimer>

namespace kelvane {

void PointerInside::observe(const ClientControls::Hit& hit, const QEvent* event, bool onWindow) {
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
        set(true);
        break;
    case QEvent::Leave: // leaving a control for another is no leaving the window
        if (onWindow)
            set(false);
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        dragLabel_ = hit.kind == ClientControls::Hit::Kind::Label ? hit.index : -1;
        set(true);
        break;
    case QEvent::Drop: // the pointer is where the drop was, until the window hears it leave
        dragLabel_ = -1;
        set(true);
        break;
    case QEvent::DragLeave:
        dragLabel_ = -1;
        // A drag moving from one control to the next leaves one before entering the other;
        // the poll's next tick sees which.
        set(false);
        break;
    default:
        break;
    }
}

void PointerInside::set(bool inside) {
    inside_ = inside;
    if (inside && !hoverPoll_.isActive())
        hoverPoll_.start();
    // Stopped by the poll's own tick once the highlight is cleared: see LabelHighlight.
}

} // namespace kelvane
