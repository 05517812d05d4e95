#pragma once

#include <QPoint>

class QWidget;

namespace kelvane {

// `DragWindow`: the window has no caption, so dragging the picture or a label moves it, once the
// pointer has travelled a little with the left button held; a tap or a double-click never moves
// it. The window follows the pointer itself: the spot pressed stays under the pointer, and a
// release ends the move whenever it is seen.
class WindowDrag {
public:
    explicit WindowDrag(QWidget& window) : window_(window) {}

    void press(QPoint globalPos);
    // The pointer moved; true when the move belongs to a press of the left button.
    bool move(QPoint globalPos, bool leftHeld);
    void release() { pending_ = moving_ = false; }
    bool moving() const { return moving_; }

private:
    QWidget& window_;
    QPoint pressedAt_;     // where the press began
    QPoint windowAtPress_; // where the window was then
    bool pending_ = false; // a left press that turns into a move once dragged
    bool moving_ = false;  // the window follows the pointer
};

} // namespace kelvane
