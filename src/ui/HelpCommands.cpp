#include "ui/HelpCommands.h"

#include "core/SoundCues.h"
#include "platform/Platform.h"

namespace kelvane {

void mnuContents_Click(Platform& platform, SoundCues& cues, QWidget* owner) {
    cues.PlayClickSound();
    if (!platform.openPath(platform.resourceFolder() + QStringLiteral("/KelvaneHelp.html")))
        platform.message(owner, QStringLiteral("There was an error while loading the Help file"));
}

void mnuOpenWebsite_Click(Platform& platform, SoundCues& cues, QWidget* owner,
                          const QString& address) {
    cues.PlayClickSound();
    if (!platform.openAddress(address))
        platform.message(
            owner, QStringLiteral("There was an error while attempting to open this website."));
}

} // namespace kelvane
