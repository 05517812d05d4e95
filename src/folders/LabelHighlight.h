#pragma once

namespace kelvane {

class FolderSlots;
class LabelHover;
class Platform;
struct ClientControls;

// The folder labels' hover highlight as the client shows it: `Timer3`'s tick finds the label
// under the cursor, lets the hover logic decide, and paints the labels and the tooltip.
class LabelHighlight {
public:
    LabelHighlight(ClientControls& controls, LabelHover& hover, const FolderSlots& folders,
                   Platform& platform);

    void Timer3_Timer();
    // Paints the highlighted label yellow and the others white.
    void paint();

private:
    ClientControls& controls_;
    LabelHover& hover_;
    const FolderSlots& folders_;
    Platform& platform_;
};

} // namespace kelvane
