#include "folders/LabelHover.h"

#include "core/PendingDrop.h"
#include "folders/FolderSlots.h"

#include <utility>

namespace kelvane {

LabelHover::LabelHover(const FolderSlots& folders, PendingDrop& pending)
    : folders_(folders), pending_(pending) {}

bool LabelHover::Timer3_Timer(int labelUnderCursor) {
    if (folders_.slot(labelUnderCursor).isEmpty())
        return ClearLabelHighlights();
    pending_.iCurrentLabel = static_cast<std::int16_t>(labelUnderCursor);
    return std::exchange(highlighted_, labelUnderCursor) != labelUnderCursor;
}

bool LabelHover::ClearLabelHighlights() {
    return std::exchange(highlighted_, -1) != -1;
}

} // namespace kelvane
