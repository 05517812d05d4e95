#pragma once

class QWidget;

namespace kelvane {

class Platform;

// Starting with the desktop session, hidden: `WriteRunValue` registers the program, as it
// runs now, to start at login with the argument "hidden"; `DeleteRunValue` removes that
// (nothing to remove is no failure). Either says so once when the entry cannot be changed.
void WriteRunValue(Platform& platform, QWidget* owner);
void DeleteRunValue(Platform& platform, QWidget* owner);

} // namespace kelvane
