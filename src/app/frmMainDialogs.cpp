// The client's secondary windows (options, a new Desktop folder, About) and the help.
#include "app/frmMain.h"
#include "folders/frmAddFolder.h"
#include "settings/SettingsFile.h"
#include "settings/frmOptions.h"
#include "ui/frmAbout.h"

namespace kelvane {

frmOptions* frmMain::options() const {
    return options_;
}

frmAddFolder* frmMain::addFolderDialog() const {
    return addFolder_;
}

frmAbout* frmMain::about() const {
    return about_;
}

void frmMain::mnuMore_Click() {
    cues_.PlayClickSound();
    if (!options_) {
        options_ = new frmOptions(state_, cues_, platform_, [this] {
            return SettingsFile(settingsPath()).SaveSettings(state_, folderList_.raw());
        });
        connect(options_, &frmOptions::browserFollowingChanged, this, [this](bool on) {
            if (on)
                Timer5.start();
            else
                Timer5.stop();
        });
    }
    if (!ShowDialog(options_))
        platform_.message(this, QStringLiteral("There was an error while attempting to show "
                                               "this Options dialog."));
}

void frmMain::mnuAddFolderToDesktop_Click() {
    cues_.PlayClickSound();
    if (!addFolder_) {
        addFolder_ = new frmAddFolder(state_, folderCommands_, cues_, platform_);
        connect(addFolder_, &frmAddFolder::labelsChanged, this, [this] { layOutClient(); });
    }
    ShowDialog(addFolder_);
}

void frmMain::mnuContents_Click() {
    cues_.PlayClickSound();
    // A missing page is for the opening application to report; only a call that could not
    // be made at all is the program's to report.
    if (!platform_.openPath(platform_.resourceFolder() + QStringLiteral("/KelvaneHelp.html")))
        platform_.message(this, QStringLiteral("There was an error while loading the Help file"));
}

void frmMain::mnuOpenWebsite_Click() {
    cues_.PlayClickSound();
    if (!platform_.openAddress(state_.sHomepageAddress))
        platform_.message(this, QStringLiteral("There was an error while attempting to open "
                                               "this website."));
}

void frmMain::mnuAbout_Click() {
    cues_.PlayClickSound();
    if (!about_)
        about_ = new frmAbout(state_, cues_, windowIcon());
    ShowDialog(about_);
    about_->raise();
    about_->activateWindow();
}

} // namespace kelvane
