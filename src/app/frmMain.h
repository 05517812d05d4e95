#pragma once

#include "app/ClientMouse.h"
#include "app/MainMenus.h"
#include "app/SecondaryWindows.h"
#include "core/AppState.h"
#include "core/PendingDrop.h"
#include "core/SoundCues.h"
#include "folders/FolderCommands.h"
#include "folders/FolderSlots.h"
#include "folders/FolderValidator.h"
#include "folders/LabelHighlight.h"
#include "folders/LabelHover.h"
#include "history/HistoryList.h"
#include "platform/Platform.h"
#include "saving/DropReception.h"
#include "saving/DropTarget.h"
#include "saving/ManualSave.h"
#include "saving/SaveFeedback.h"
#include "saving/SavePipeline.h"
#include "ui/ClientControls.h"
#include "ui/ClientLook.h"
#include "ui/ClientPresence.h"
#include "ui/PointerInside.h"
#include "ui/SizeCommands.h"
#include "ui/TopmostBand.h"
#include "ui/WindowDrag.h"
#include "ui/WindowPlace.h"

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>

class QAction;

namespace kelvane {

class frmSplash;
class frmHistory;

// The client window: its controls, menus and timers wired to each subsystem's routines, and
// the order of start-up and shut-down.
class frmMain : public QWidget {
    Q_OBJECT

public:
    frmMain(Platform& platform, AppState& state);
    ~frmMain() override;

    enum class LoadResult { Running, AnotherInstance };
    // The whole start-up. AnotherInstance: the program must end at once.
    LoadResult Form_Load();

    // Both "Exit Kelvane" commands: farewell cue, unload, end of the process.
    void mnuExit_Click();
    // Settings and history written, tray icon removed, history deleted on request. Runs once.
    // Quiet: no message box (the system is ending the program).
    void Form_Unload(bool quiet = false);
    // Ending asked for from outside (signal, end of session): unload, then quit.
    void endFromOutside();
    bool hasEnded() const { return unloaded_; }
    bool loadFinished() const { return loadFinished_; }

    // Used by the splash window at the hand-over.
    void InitializeMainForm();
    void handOver();
    // `ShowHistoryForm`: opens the history window beside the client, shown while it is.
    void ShowHistoryForm();

    // `SaveImage` and its feedback: index -1 saves into the Desktop folder, 0 to 9 into that
    // label's folder; a manual save passes the path chosen in the save dialog.
    void SaveImage(std::int16_t index, const QString& source, const QString& manualTarget = {});
    void ShowImageInClient(const QString& path) { feedback_.ShowImageInClient(path); }
    bool showsBackground() const { return look_.showsBackground(); }

    AppState& state() { return state_; }
    Platform& platform() { return platform_; }
    SoundCues& cues() { return cues_; }
    const MainMenus& menus() const { return menus_; }
    const ClientControls& controls() const { return controls_; }
    const FolderSlots& FolderList() const { return folderList_; }
    const HistoryList& historyList() const { return historyList_; }
    const PendingDrop& pendingDrop() const { return pending_; }
    int highlightedLabel() const { return hover_.highlighted(); }
    frmSplash* splash() const { return splash_; }
    frmHistory* history() const { return history_; }
    // The secondary windows while they are open.
    frmOptions* options() const { return dialogs_.options(); }
    frmAddFolder* addFolderDialog() const { return dialogs_.addFolderDialog(); }
    frmAbout* about() const { return dialogs_.about(); }

    QTimer Timer1; // periodic folder check
    QTimer Timer2; // back to the idle look after a save
    QTimer Timer3; // label hover poll, while the pointer is on the client
    QTimer Timer4; // manual save retry
    QTimer Timer5; // browser following

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    QString settingsPath() const;
    QString historyPath() const;
    // `ApplyClientSize`, `ApplyLabelSize` and `ShowLabels` after any change.
    void layOutClient();
    // Construction.
    void createTimers();
    void connectMenus();
    void connectTimers();
    void onCommand(QAction* item, std::function<void()> command);

    // Start-up and shut-down.
    void runStartupSteps();
    void createHistoryWindow();
    void ApplyDefaultSettings();
    void markSettings(); // the check marks of the settings the menus show
    void CheckHide();
    void writeStateFiles(bool quiet);
    // A later start of the program, with its command line.
    void secondStart(const QString& commandLine);

    void Timer4_Timer();

    // Menu commands.
    void mnuAlwaysOnTop_Click();
    void SaveHistory();
    void CheckClearHistoryMenu();

    Platform& platform_;
    AppState& state_;
    SoundCues cues_;
    MainMenus menus_;
    ClientControls controls_;
    FolderSlots folderList_;
    FolderValidator folderValidator_;
    HistoryList historyList_;
    PendingDrop pending_;
    SavePipeline saving_;
    DropReception drops_;
    LabelHover hover_;
    PointerInside pointer_{Timer3};
    FolderCommands folderCommands_;
    ClientLook look_;
    TopmostBand band_;
    ClientPresence presence_;
    WindowPlace place_;
    WindowDrag drag_;
    SaveFeedback feedback_;
    DropTarget dropTarget_;
    ManualSave manualSave_;
    LabelHighlight highlight_;
    SizeMenu sizes_;
    SecondaryWindows dialogs_;
    ClientMouse mouse_;
    frmSplash* splash_ = nullptr;
    frmHistory* history_ = nullptr;
    bool unloaded_ = false;
    bool loadFinished_ = false;
    // The settings file is there but could not be read: it is kept as it is, and so is the
    // start-at-login entry.
    bool settingsUnreadable_ = false;
    bool startedHidden_ = false;
};

} // namespace kelvane
