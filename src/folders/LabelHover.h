#pragma once

namespace kelvane {

class FolderSlots;
struct PendingDrop;

// The hover poll of the folder labels: the non-empty label under the cursor is highlighted
// and becomes the current target; no label, or an empty one, clears the highlight.
class LabelHover {
public:
    LabelHover(const FolderSlots& folders, PendingDrop& pending);

    // `Timer3`'s tick, given the label under the cursor (-1 for none). True when the
    // highlighted label changed.
    bool Timer3_Timer(int labelUnderCursor);
    // `ClearLabelHighlights`: no label highlighted. True when one was.
    bool ClearLabelHighlights();

    // The highlighted label, -1 for none.
    int highlighted() const { return highlighted_; }

private:
    const FolderSlots& folders_;
    PendingDrop& pending_;
    int highlighted_ = -1;
};

} // namespace kelvane
