#pragma once

#include <QPointer>
#include <functional>

class QWidget;

namespace kelvane {

class FolderCommands;
class Platform;
class SoundCues;
class TopmostBand;
class frmAbout;
class frmAddFolder;
class frmOptions;
struct AppState;

// The client's secondary windows: "More Options", "Add Folder to Desktop" and About, each made
// when it is first asked for and shown through the band, modeless and owned by the client.
class SecondaryWindows {
public:
    struct Hooks {
        std::function<bool()> saveSettings;            // the options' OK: false on failure
        std::function<void(bool on)> followingChanged; // the options turned following on or off
        std::function<void()> labelsChanged;           // a new Desktop folder took a label
    };
    SecondaryWindows(QWidget& client, TopmostBand& band, AppState& state, SoundCues& cues,
                     Platform& platform, FolderCommands& folders, Hooks hooks);

    void mnuMore_Click();
    void mnuAddFolderToDesktop_Click();
    void mnuAbout_Click();

    // Each while it is open.
    frmOptions* options() const;
    frmAddFolder* addFolderDialog() const;
    frmAbout* about() const;

private:
    QWidget& client_;
    TopmostBand& band_;
    AppState& state_;
    SoundCues& cues_;
    Platform& platform_;
    FolderCommands& folders_;
    Hooks hooks_;
    QPointer<frmOptions> options_;
    QPointer<frmAddFolder> addFolder_;
    QPointer<frmAbout> about_;
};

} // namespace kelvane
