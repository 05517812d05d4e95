#pragma once

#include <array>

class QLineEdit;
class QWidget;

namespace kelvane {

class frmMain;

// The hover poll of the folder labels: the non-empty label under the cursor turns yellow,
// shows its path as a tooltip and becomes the current label; every other label is white.
class LabelHover {
public:
    explicit LabelHover(frmMain& main);

    // `Timer3`'s tick. Touches no disk; writes a property only when it changes.
    void Timer3_Timer();
    // `ClearLabelHighlights`: all ten labels white.
    void ClearLabelHighlights();
    // `MouseIsOverLabel`: the cursor is over one of the (visible) labels.
    bool MouseIsOverLabel() const;
    // `MouseIsOverControl`: the widget under the cursor is this control (or lies inside it).
    bool MouseIsOverControl(const QWidget* control) const;

    // The label shown highlighted, -1 for none.
    int highlighted() const { return highlighted_; }

private:
    void setHighlight(int index);

    frmMain& main_;
    int highlighted_ = -1;
};

} // namespace kelvane
