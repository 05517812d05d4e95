#pragma once

#include <QString>
#include <cstdint>

namespace kelvane {

// The drop the manual save falls back on: written while a drag moves over the client (and,
// for the target, by the label hover poll), read when the manual-save timer fires.
struct PendingDrop {
    std::int16_t iCurrentLabel = 0; // the target under the cursor: -1 the picture, 0 to 9 a label
    QString sInitSaveAsDir;         // the folder the drag was aimed at
    QString sTempSaveAsFilename;    // the file the drag carries
};

} // namespace kelvane
