#include "app/SecondaryWindows.h"

#include "core/SoundCues.h"
#include "folders/frmAddFolder.h"
#include "platform/Platform.h"
#include "settings/frmOptions.h"
#include "ui/TopmostBand.h"
#include "ui/frmAbout.h"

namespace kelvane {

SecondaryWindows::SecondaryWindows(QWidget& client, TopmostBand& band, AppState& state,
                                   SoundCues& cues, Platform& platform, FolderCommands& folders,
                                   Hooks hooks)
    : client_(client), band_(band), state_(state), cues_(cues), platform_(platform),
      folders_(folders), hooks_(std::move(hooks)) {}

frmOptions* SecondaryWindows::options() const {
    return options_;
}

frmAddFolder* SecondaryWindows::addFolderDialog() const {
    return addFolder_;
}

frmAbout* SecondaryWindows::about() const {
    return about_;
}

void SecondaryWindows::mnuMore_Click() {
    cues_.PlayClickSound();
    if (!options_) {
        options_ = new frmOptions(state_, cues_, platform_, hooks_.saveSettings);
        QObject::connect(options_, &frmOptions::browserFollowingChanged, &client_,
                         hooks_.followingChanged);
    }
    if (!band_.ShowDialog(options_))
        platform_.message(&client_, QStringLiteral("There was an error while attempting to show "
                                                   "this Options dialog."));
}

void SecondaryWindows::mnuAddFolderToDesktop_Click() {
    cues_.PlayClickSound();
    if (!addFolder_) {
        addFolder_ = new frmAddFolder(state_, folders_, cues_, platform_);
        QObject::connect(addFolder_, &frmAddFolder::labelsChanged, &client_, hooks_.labelsChanged);
    }
    band_.ShowDialog(addFolder_);
}

void SecondaryWindows::mnuAbout_Click() {
    cues_.PlayClickSound();
    if (!about_) {
        about_ = new frmAbout(state_, cues_, client_.windowIcon());
        platform_.closeBoxOnly(about_);
    }
    band_.ShowDialog(about_);
}

} // namespace kelvane
