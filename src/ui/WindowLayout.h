#pragma once

namespace kelvane {

struct AppState;
struct ClientControls;
class Platform;

// `ApplyClientSize`: the window becomes the square of its size mode (an empty mode becomes
// "MED", an unknown one keeps the size), the picture fills it, the window joins or leaves the
// always-on-top band, and the status icons sit near the top-right corner.
void ApplyClientSize(AppState& state, ClientControls& controls, Platform& platform);
// `ApplyLabelSize`: the folder labels take the window's width and the mode's height and font.
void ApplyLabelSize(AppState& state, ClientControls& controls);

} // namespace kelvane
