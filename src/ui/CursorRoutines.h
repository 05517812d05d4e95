#pragma once

class QWidget;

namespace kelvane {

class Platform;
struct ClientControls;

// `MouseIsOverControl`: the widget under the cursor is this control or lies inside it. The
// picture and the status icons count as under the cursor wherever it is: the manual save relies
// on this, so that the cursor anywhere on the client will do.
bool MouseIsOverControl(const ClientControls& controls, Platform& platform, const QWidget* control);
// `MouseIsOverLabel`: the cursor is over one of the folder labels.
bool MouseIsOverLabel(const ClientControls& controls, Platform& platform);
// The folder label under the cursor, -1 for none.
int labelUnderCursor(const ClientControls& controls, Platform& platform);

} // namespace kelvane
