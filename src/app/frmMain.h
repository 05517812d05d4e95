#pragma once

#include "app/ClientControls.h"
#include "app/MainMenus.h"
#include "core/AppState.h"
#include "core/PendingDrop.h"
#include "core/SoundCues.h"
#include "folders/FolderCommands.h"
#include "folders/FolderSlots.h"
#include "folders/FolderValidator.h"
#include "folders/LabelHover.h"
#include "history/HistoryList.h"
#include "platform/Platform.h"
#include "saving/DropReception.h"
#include "saving/SavePipeline.h"

#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <tuple>

class QAction;
class QLineEdit;
class QMimeData;

namespace kelvane {

class frmSplash;
class frmHistory;
class frmOptions;
class frmAddFolder;
class frmAbout;
struct ClientLayout;

// The client window: the drop picture, the status icons, the folder labels, the menus and the
// timers. It wires events to the routines of each subsystem, shows what they report, and
// drives start-up and shut-down.
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
    // `ShowHistoryForm`: opens the history window beside the client; it shows up on its
    // follow timer's next tick while the client is visible.
    void ShowHistoryForm();

    // `SaveImage` and its feedback: index -1 saves into the Desktop folder, 0 to 9 into that
    // label's folder; a manual save passes the path chosen in the save dialog.
    void SaveImage(std::int16_t index, const QString& source, const QString& manualTarget = {});
    // `ShowImageInClient`: the picture shows the image file, or a message says it cannot.
    void ShowImageInClient(const QString& path);
    // The picture's double-click: open the newest saved image, or show the desktop.
    void Image1_DblClick();
    // True while the picture shows the background rather than a saved image.
    bool showsBackground() const;

    // `ShowDialog`: shows a secondary window modeless, owned by the client, with the manual
    // save disarmed and the client out of the always-on-top band until the window closes.
    bool ShowDialog(QWidget* window);
    // `SuspendAlwaysOnTop`, `RestoreAlwaysOnTop`: the client leaves the always-on-top band
    // (the setting stays on, the check mark goes) and comes back; nothing when it is off.
    void SuspendAlwaysOnTop();
    void RestoreAlwaysOnTop();

    // `ApplyClientSize`, `ApplyLabelSize` and `ShowLabels`: the layout after any change of
    // the list, the size or the always-on-top state.
    void layOutClient();

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
    frmOptions* options() const;
    frmAddFolder* addFolderDialog() const;
    frmAbout* about() const;
    QString settingsPath() const;
    QString historyPath() const;

    QTimer Timer1; // periodic folder check
    QTimer Timer2; // back to the idle look after a save
    QTimer Timer3; // label hover poll
    QTimer Timer4; // manual save retry
    QTimer Timer5; // browser following

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Construction.
    void createControls();
    void createTimers();
    void connectMenus();
    void onCommand(QAction* item, std::function<void()> command);

    // Start-up and shut-down.
    void ApplyDefaultSettings();
    bool CheckPreviousInstance();
    void CheckHide();
    void runStartupSteps();
    void applyWindowPosition();
    void storeWindowPosition();
    void writeStateFiles(bool quiet);

    // Layout.
    void ApplyClientSize(const ClientLayout& layout);
    void ApplyLabelSize(const ClientLayout& layout);
    void ShowLabels(const ClientLayout& layout);
    // The background picture and the status icons for the current size and screen.
    void drawPictures();

    // Events of the picture, the icons and the labels.
    bool handleDrag(const ClientControls::Hit& hit, QEvent* event);
    bool handleMouse(const ClientControls::Hit& hit, QObject* watched, QEvent* event);
    void showFoldersMenu();
    void ShowClientMenu();
    void Timer3_Timer();
    void paintLabelHighlight();
    // `MouseIsOverControl`: the widget under the cursor is this control (or lies inside it).
    bool MouseIsOverControl(const QWidget* control) const;
    // `MouseIsOverLabel`: the cursor is over one of the labels.
    bool MouseIsOverLabel() const;

    // A drop: the file the platform makes of it, then the save.
    void receiveDrop(std::int16_t index, const QMimeData* data);
    void showFetchProgress(qint64 received, qint64 total);
    void endFetch();
    // The manual save offered a second after a drag that did not save.
    void Timer4_Timer();
    // `MouseInsideForm`: the cursor is inside the window's rectangle, edges included.
    bool MouseInsideForm(const QWidget* form) const;

    // Feedback of a save.
    void showSaved(const QString& target);
    void showFailed(bool showError);
    // Brings status icon `index` (idle, saved, failed) to the front.
    void showStatusIcon(int index);
    void Timer2_Timer();
    void ShowDesktop();
    void mnuShowSavedIMageInClient_Click();

    // The secondary windows and the help.
    void mnuMore_Click();
    void mnuAddFolderToDesktop_Click();
    void mnuContents_Click();
    void mnuOpenWebsite_Click();
    void mnuAbout_Click();

    // Other commands.
    void SaveHistory();
    void CheckClearHistoryMenu();
    void mnuPlayConfirmationSound_Click();
    void mnuClearHistory_Click();
    void mnuHistory_Click();
    void mnuSize_Click(ClientSize size);
    // Marks the size's item in "Window Size" (none for an unknown size).
    void markSize(ClientSize size);
    void mnuAlwaysOnTop_Click();
    // The tray icon's clicks, hiding and showing, browser following.
    void Form_MouseMove(int code);
    void mnuHideMe_Click();
    void mnuTrayRestore_Click();
    void Timer5_Timer();
    void showClient();
    void hideClient();
    // Qt learns where the window manager has really put the window.
    void followWindowManager();
    // A window shown through ShowDialog has closed or hidden.
    void dialogGone(QObject* window);

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
    FolderCommands folderCommands_;
    frmSplash* splash_ = nullptr;
    frmHistory* history_ = nullptr;
    QPointer<frmOptions> options_;
    QPointer<frmAddFolder> addFolder_;
    QPointer<frmAbout> about_;
    QList<QPointer<QObject>> openDialogs_; // shown through ShowDialog and not gone yet
    QString dragFile_;                     // the file the drag over the client gives
    int fetching_ = 0;                     // drops whose file is still on its way
    bool dragOver_ = false;                // a drag is over the client
    qint64 browserSeenAt_ = 0; // when following saw a browser while the client was hidden
    bool manualSaveOpen_ = false;
    QPoint pressedAt_;         // where a left press on the picture or a label began
    QPoint windowAtPress_;     // where the window was then
    bool movePending_ = false; // a left press that turns into a window move once dragged
    bool moving_ = false;      // the window follows the pointer
    bool unloaded_ = false;
    bool loadFinished_ = false;
    bool startedHidden_ = false;
    ClientSize sizeMarked_ = ClientSize::Unknown;
    std::optional<QPoint> placeSeen_; // where the X server had the window, unlike Qt, last tick
    std::tuple<QSize, QRect, qreal> drawnFor_; // what the pictures were last drawn for
};

} // namespace kelvane
