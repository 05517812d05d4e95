#pragma once

#include "app/AppState.h"
#include "app/MainMenus.h"
#include "app/SoundCues.h"
#include "folders/FolderChecks.h"
#include "folders/FolderCommands.h"
#include "folders/FolderSlots.h"
#include "folders/LabelHover.h"
#include "history/HistoryList.h"
#include "saving/DropReception.h"
#include "saving/SaveImage.h"
#include "ui/ClientControls.h"

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>

class QAction;
class QLineEdit;

namespace kelvane {

class Platform;
class frmSplash;
class frmHistory;

// The client window: the drop picture, the status icons, the folder labels, the menus and the
// timers. It wires events to the routines of each subsystem and drives start-up and shut-down.
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
    void mnuTrayExit_Click();
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

    AppState& state() { return state_; }
    Platform& platform() { return platform_; }
    SoundCues& cues() { return cues_; }
    const MainMenus& menus() const { return menus_; }
    ClientControls& controls() { return controls_; }
    FolderSlots& FolderList() { return folderList_; }
    HistoryList& historyList() { return historyList_; }
    SavePipeline& saving() { return saving_; }
    DropReception& drops() { return drops_; }
    LabelHover& hover() { return hover_; }
    FolderCommands& folderCommands() { return folderCommands_; }
    // `ApplyClientSize`, `ApplyLabelSize` and `ShowLabels`: the layout after any change of
    // the list, the size or the always-on-top state.
    void layOutClient();
    frmSplash* splash() const { return splash_; }
    frmHistory* history() const { return history_; }
    QString settingsPath() const;
    QString historyPath() const;

    QTimer Timer1; // periodic folder check
    QTimer Timer2; // back to the idle look after a save
    QTimer Timer3; // label hover poll
    QTimer Timer4; // manual save retry
    QTimer Timer5; // browser following

    std::int16_t iCurrentLabel = 0;
    QString sInitSaveAsDir;
    QString sTempSaveAsFilename;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createTimers();
    void connectMenus();
    void ApplyDefaultSettings();
    // True when another copy runs; that copy is not disturbed.
    bool CheckPreviousInstance();
    void CheckHide();
    void runStartupSteps();
    void applyWindowPosition();
    void storeWindowPosition();
    void writeStateFiles(bool quiet);
    void onCommand(QAction* item, std::function<void()> command);
    bool handleLabelEvent(QLineEdit* label, QEvent* event);
    void SaveHistory();
    void CheckClearHistoryMenu();
    void mnuPlayConfirmationSound_Click();
    void mnuClearHistory_Click();
    void mnuHistory_Click();

    void onTrayNotify(int code);
    void ShowClientMenu();

    Platform& platform_;
    AppState& state_;
    SoundCues cues_;
    MainMenus menus_;
    ClientControls controls_;
    FolderSlots folderList_;
    FolderValidator folderValidator_;
    HistoryList historyList_;
    SavePipeline saving_;
    DropReception drops_;
    LabelHover hover_;
    FolderCommands folderCommands_;
    frmSplash* splash_ = nullptr;
    frmHistory* history_ = nullptr;
    bool unloaded_ = false;
    bool loadFinished_ = false;
    bool startedHidden_ = false;
};

} // namespace kelvane
