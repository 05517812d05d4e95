#pragma once

namespace kelvane {

struct AppState;
struct ClientControls;
class FolderSlots;
class Platform;

// `ShowLabels`: the window back to its square, then the non-empty labels stacked under the
// picture in slot order, each making the window taller; empty folders hidden. Each label shows
// its slot's path.
void ShowLabels(AppState& state, ClientControls& controls, const FolderSlots& folders,
                Platform& platform);

} // namespace kelvane
