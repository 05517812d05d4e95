#pragma once

#include "ui/SizeTable.h"

#include <QString>

class QAction;

namespace kelvane {

class SoundCues;
struct AppState;

// The "Window Size" commands: `mnuSmall_Click`, `mnuNormal_Click`, `mnuLarge_Click` store the
// chosen size and return the cue to play before the window is laid out again: Small shrinks,
// Large enlarges, Normal shrinks from Large and enlarges otherwise (shown is the size whose
// item was checked).
QString applySizeCommand(AppState& state, ClientSize chosen, ClientSize shown);

// The "Window Size" items as one choice: the size marked, and the commands.
class SizeMenu {
public:
    SizeMenu(AppState& state, SoundCues& cues, QAction* mnuSmall, QAction* mnuNormal,
             QAction* mnuLarge);

    // Marks the item of the size the settings name exactly; none for any other word.
    void markFromSettings();
    void mark(ClientSize size);
    // A size chosen: stored, marked, its cue played; the caller lays the window out.
    void mnuSize_Click(ClientSize size);

private:
    AppState& state_;
    SoundCues& cues_;
    QAction* items_[3];
    ClientSize marked_ = ClientSize::Unknown;
};

} // namespace kelvane
