#include "ui/SizeCommands.h"

#include "core/AppState.h"
#include "core/SoundCues.h"

#include <QAction>

namespace kelvane {

QString applySizeCommand(AppState& state, ClientSize chosen, ClientSize shown) {
    state.sClientSize = clientSizeWord(chosen);
    const bool shrinks =
        chosen == ClientSize::Small || (chosen == ClientSize::Med && shown == ClientSize::Large);
    return shrinks ? QStringLiteral("shrink") : QStringLiteral("enlarge");
}

SizeMenu::SizeMenu(AppState& state, SoundCues& cues, QAction* mnuSmall, QAction* mnuNormal,
                   QAction* mnuLarge)
    : state_(state), cues_(cues), items_{mnuSmall, mnuNormal, mnuLarge} {}

void SizeMenu::markFromSettings() {
    const QString& word = state_.sClientSize;
    mark(word == QLatin1String("SMALL")   ? ClientSize::Small
         : word == QLatin1String("MED")   ? ClientSize::Med
         : word == QLatin1String("LARGE") ? ClientSize::Large
                                          : ClientSize::Unknown);
}

void SizeMenu::mark(ClientSize size) {
    marked_ = size;
    for (int i = 0; i < 3; ++i)
        items_[i]->setChecked(int(size) == i);
}

void SizeMenu::mnuSize_Click(ClientSize size) {
    // The cue goes by the item that was marked (Normal when none was).
    const ClientSize shown = marked_ == ClientSize::Unknown ? ClientSize::Med : marked_;
    const QString cue = applySizeCommand(state_, size, shown);
    mark(size);
    cues_.PlaySoundCue(cue);
}

} // namespace kelvane
