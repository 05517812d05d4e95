#include "ui/SizeCommands.h"

#include "core/AppState.h"

namespace kelvane {

QString applySizeCommand(AppState& state, ClientSize chosen, ClientSize shown) {
    state.sClientSize = clientSizeWord(chosen);
    const bool shrinks =
        chosen == ClientSize::Small || (chosen == ClientSize::Med && shown == ClientSize::Large);
    return shrinks ? QStringLiteral("shrink") : QStringLiteral("enlarge");
}

} // namespace kelvane
