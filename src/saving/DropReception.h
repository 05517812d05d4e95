#pragma once

#include <QString>

namespace kelvane {

struct AppState;
class FolderSlots;
struct PendingDrop;

// Drags over the client: the picture saves into the Desktop folder, folder label i into its
// folder. A drag over either records the pending drop that the manual save falls back on.
class DropReception {
public:
    DropReception(PendingDrop& pending, const AppState& state, const FolderSlots& folders);

    // A drag over the picture or label `index`, carrying draggedFile (the file it gives, or
    // would give once dropped; empty when it carries none). True when the manual-save timer
    // is to be armed; a drag without a file leaves the pending file and the timer alone.
    bool Image1_OLEDragOver(const QString& draggedFile);
    bool Text_OLEDragOver(int index, const QString& draggedFile);

private:
    bool recordPendingFile(const QString& draggedFile);

    PendingDrop& pending_;
    const AppState& state_;
    const FolderSlots& folders_;
};

} // namespace kelvane
