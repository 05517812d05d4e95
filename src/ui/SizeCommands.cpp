#include "ui/SizeCommands.h"

#include "app/frmMain.h"

#include <QAction>

namespace kelvane {
namespace {

void applySize(frmMain& main, const char* word, QAction* checked, const char* cue) {
    const MainMenus& m = main.menus();
    main.state().sClientSize = QString::fromLatin1(word);
    for (QAction* item : {m.mnuSmall, m.mnuNormal, m.mnuLarge})
        item->setChecked(item == checked);
    main.cues().PlaySoundCue(QString::fromLatin1(cue));
    main.layOutClient();
}

} // namespace

void mnuSmall_Click(frmMain& main) {
    applySize(main, "SMALL", main.menus().mnuSmall, "shrink");
}

void mnuNormal_Click(frmMain& main) {
    const bool wasLarge = main.menus().mnuLarge->isChecked();
    applySize(main, "MED", main.menus().mnuNormal, wasLarge ? "shrink" : "enlarge");
}

void mnuLarge_Click(frmMain& main) {
    applySize(main, "LARGE", main.menus().mnuLarge, "enlarge");
}

void mnuAlwaysOnTop_Click(frmMain& main) {
    main.cues().PlayClickSound();
    QAction* item = main.menus().mnuAlwaysOnTop;
    // The check mark decides: a suspended band (mark cleared, setting still on) comes back.
    main.state().bAlwaysOnTop = !item->isChecked();
    item->setChecked(main.state().bAlwaysOnTop);
    main.layOutClient();
}

} // namespace kelvane
