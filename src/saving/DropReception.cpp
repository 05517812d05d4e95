#include "saving/DropReception.h"

#include "core/AppState.h"
#include "core/PendingDrop.h"
#include "folders/FolderSlots.h"

namespace kelvane {

DropReception::DropReception(PendingDrop& pending, const AppState& state,
                             const FolderSlots& folders)
    : pending_(pending), state_(state), folders_(folders) {}

bool DropReception::Image1_OLEDragOver(const QString& draggedFile) {
    pending_.sInitSaveAsDir = state_.sDesktopFolder;
    pending_.iCurrentLabel = -1;
    return recordPendingFile(draggedFile);
}

bool DropReception::Text_OLEDragOver(int index, const QString& draggedFile) {
    // The target index is left to the label hover poll.
    pending_.sInitSaveAsDir = folders_.slot(index);
    return recordPendingFile(draggedFile);
}

bool DropReception::recordPendingFile(const QString& draggedFile) {
    if (draggedFile.isEmpty()) // no file: nothing to offer a manual save for
        return false;
    pending_.sTempSaveAsFilename = draggedFile;
    return true;
}

} // namespace kelvane
