#pragma once

namespace kelvane {

class FolderSlots;
class LabelHover;
class Platform;
class PointerInside;
struct ClientControls;

// The folder labels' hover highlight as the client shows it: `Timer3`'s tick finds the label
// under the cursor (or under a drag), lets the hover logic decide, and paints the labels and the
// tooltip. With the pointer off the client no label is under it, wherever the pointer is said
// to be.
class LabelHighlight {
public:
    LabelHighlight(ClientControls& controls, LabelHover& hover, const FolderSlots& folders,
                   const PointerInside& pointer, Platform& platform);

    void Timer3_Timer();
    // Paints the highlighted label yellow and the others white.
    void paint();

private:
    ClientControls& controls_;
    LabelHover& hover_;
    const FolderSlots& folders_;
    const PointerInside& pointer_;
    Platform& platform_;
};

} // namespace kelvane
