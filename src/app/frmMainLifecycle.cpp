// Start-up and shut-down of the client window.
#include "app/frmMain.h"

#include "app/frmSplash.h"
#include "core/Tooltips.h"
#include "folders/SystemFolders.h"
#include "history/HistoryCommands.h"
#include "history/frmHistory.h"
#include "settings/RunValue.h"
#include "settings/SettingsFile.h"
#include "ui/TrayIcon.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <cmath>
#include <exception>
#include <stdexcept>

namespace kelvane {

QString frmMain::settingsPath() const {
    return platform_.stateFolder() + QStringLiteral("/kelvane.dat");
}

QString frmMain::historyPath() const {
    return platform_.stateFolder() + QStringLiteral("/history.dat");
}

frmMain::LoadResult frmMain::Form_Load() {
    state_.sHomepageAddress = QStringLiteral("https://kelvane.org/");
    state_.iSplashDuration = 3500;
    state_.sExecutableName = QStringLiteral("kelvan11.exe");
    const Platform::Version v = platform_.version();
    state_.sVersionText = QString::number(v.major) + QLatin1Char('.') + QString::number(v.minor);
    state_.sBuildText = QString::number(v.revision);

    // This copy ends at once, without a window, sound or file; the running copy hears of it.
    if (platform_.anotherInstanceRunning())
        return LoadResult::AnotherInstance;
    // Started by the user, the client stays on the screen for the user to find.
    if (platform_.commandLine() != QLatin1String("hidden"))
        presence_.holdShown();
    platform_.onSecondStart([this](const QString& commandLine) { secondStart(commandLine); });
    platform_.onTerminationRequest([this] { endFromOutside(); });
    // Ended without a shut-down (the display went away): keep the settings and the history.
    platform_.onAbruptExit([this] {
        if (std::exchange(unloaded_, true))
            return;
        writeStateFiles(true);
        if (state_.bDeleteHistoryOnClose)
            QFile::remove(historyPath());
    });

    try {
        runStartupSteps();
    } catch (const std::exception&) {
        platform_.message(
            this, QStringLiteral("There was an error while loading this application. It may not "
                                 "function properly. \r\nTry reloading it to prevent exceptions."));
    }
    loadFinished_ = true;
    if (splash_)
        splash_->loadFinished(); // a hand-over that came during a start-up message happens now
    return LoadResult::Running;
}

void frmMain::runStartupSteps() {
    // The splash first: it is on the screen while the rest of the start-up runs.
    state_.bStartupInProgress = true;
    splash_ = new frmSplash(*this);
    splash_->setSplashDuration(state_.iSplashDuration);
    if (platform_.commandLine().isEmpty())
        splash_->show();

    try {
        SetupTrayIcon(platform_, windowIcon(),
                      [this](Platform::TrayEvent event) { presence_.trayEvent(event); });
    } catch (const std::exception&) {
        platform_.message(this,
                          QStringLiteral("There was an error while setting up the tray icon."));
    }
    for (QLineEdit* label : controls_.Text)
        label->setFont(QFont(QStringLiteral("Times New Roman"), 6));

    const SettingsFile settings(settingsPath());
    settings.ApplyFolders(folderList_.raw());
    const QSize screen = platform_.screenSize() * kTwipsPerPixel;
    const SettingsFile::LoadResult loaded =
        settings.LoadSettings(state_, screen.width(), screen.height());
    settingsUnreadable_ = loaded.unreadable;
    if (loaded.enableTimer5)
        Timer5.start();
    place_.apply();
    CheckHide();

    setVisible(false);
    setEnabled(false);

    sizes_.markFromSettings();

    if (state_.bFirstUse)
        ApplyDefaultSettings();
    if (state_.sWindowsFolder.isEmpty())
        state_.sWindowsFolder = GetWindowsFolder(platform_);
    state_.sDesktopFolder = DesktopFolderFor(platform_, state_.sWindowsFolder);
    markSettings();

    controls_.Image1->setToolTip(dragHereTip(QStringLiteral("Desktop")));
    look_.showStatusIcon(0);
    controls_.imgIcon[1]->setToolTip(QStringLiteral(" This image has been sucessfully saved "));

    layOutClient();
    folderValidator_.CheckAllFolders(folderList_, platform_, this, [this] { layOutClient(); });
    // An emptied list gets the defaults back, and shows its refilled first label at once.
    CheckForFolders(folderList_, [this] {
        ApplyDefaultSettings();
        layOutClient();
    });

    createHistoryWindow();
    CheckHide();

    Timer1.start();
    if (settingsUnreadable_) // the program runs on the defaults; the user is told
        throw std::runtime_error("the settings file cannot be read");
}

void frmMain::createHistoryWindow() {
    history_ = new frmHistory(*this, historyList_, state_, cues_, platform_, historyPath());
    connect(history_, &frmHistory::closed, this, [this] { menus_.mnuHistory->setEnabled(true); });
    connect(history_, &frmHistory::previewRequested, this,
            [this](const QString& path) { feedback_.showPreview(path); });
    connect(history_, &frmHistory::clientResetDue, this, [this] { feedback_.armIdleReturn(); });
    // "Clear History" follows the list, whoever changes it.
    for (auto change : {&HistoryList::rowsInserted, &HistoryList::rowsRemoved})
        connect(&historyList_, change, this, [this] { CheckClearHistoryMenu(); });
    connect(&historyList_, &HistoryList::modelReset, this, [this] { CheckClearHistoryMenu(); });
    history_->Initialize();
    CheckClearHistoryMenu();
}

void frmMain::ApplyDefaultSettings() {
    try {
        state_.sDesktopFolder = FindSystemFolder(platform_, Platform::SpecialFolder::Desktop);
        folderList_.setSlot(0, FindSystemFolder(platform_, Platform::SpecialFolder::Documents));
        if (state_.sClientSize.isEmpty()) {
            state_.sClientSize = QStringLiteral("MED");
            sizes_.mark(ClientSize::Med);
        }
        const QSize screen = platform_.screenSize() * kTwipsPerPixel;
        state_.WindowTop = screen.height() / 2 - 100;
        state_.WindowLeft = screen.width() / 2 + 100;
        place_.apply();
        for (bool AppState::*flag :
             {&AppState::bAlwaysOnTop, &AppState::bPlayConfirmSound, &AppState::bShowSavedImage,
              &AppState::bShowSaveErrorMessage, &AppState::bAlwaysPromptFileDelete,
              &AppState::bAutoIncrementSavedFiles, &AppState::bCorrectQueryStringNames,
              &AppState::bLoadAppWhenComputerStarts, &AppState::bSynchronizeWithInternetExplorer})
            state_.*flag = true;
        markSettings();
        Timer5.start();
        if (!settingsUnreadable_) // not a first run: the user's choice stays
            WriteRunValue(platform_, this);
    } catch (const std::exception&) {
        platform_.message(this, QStringLiteral("There was an error while attempting to initialize "
                                               "Kelvane."));
    }
}

void frmMain::markSettings() {
    menus_.mnuAlwaysOnTop->setChecked(state_.bAlwaysOnTop);
    menus_.mnuPlayConfirmationSound->setChecked(state_.bPlayConfirmSound);
    menus_.mnuShowSavedIMageInClient->setChecked(state_.bShowSavedImage);
}

void frmMain::CheckHide() {
    if (platform_.commandLine() != QLatin1String("hidden"))
        return;
    if (splash_)
        splash_->hide();
    // Hidden, not minimised: a window that the window manager is told to start iconic may come
    // up iconic at the first show too, and a minimised client leaves the screen again.
    startedHidden_ = true;
}

void frmMain::secondStart(const QString& commandLine) {
    // The login's start of a second copy leaves this one as it is.
    if (commandLine == QLatin1String("hidden") || unloaded_)
        return;
    presence_.holdShown();
    if (state_.bStartupInProgress) { // the hand-over shows it
        startedHidden_ = false;
        return;
    }
    presence_.showClient();
}

void frmMain::InitializeMainForm() {
    for (QLineEdit* label : controls_.Text)
        label->setCursor(Qt::ArrowCursor);
    look_.showBackground();
}

void frmMain::handOver() {
    setEnabled(true);
    if (startedHidden_) // stays hidden, or shown if following has shown it already
        return;
    show();
    // The window manager learns about the window only now: tell it the band again.
    platform_.setTopmost(this, state_.bAlwaysOnTop);
}

void frmMain::ShowHistoryForm() {
    if (!history_)
        return;
    history_->hide();
    history_->dock();
    menus_.mnuHistory->setEnabled(false);
    state_.bShowHistory = true;
    history_->Initialize();
    history_->setVisible(isVisible()); // at once, not on the follow timer's first tick
}

void frmMain::SaveHistory() {
    kelvane::SaveHistory(historyList_, historyPath(), platform_, this);
}

void frmMain::CheckClearHistoryMenu() {
    // What the history window lists can always be cleared.
    menus_.mnuClearHistory->setEnabled(!historyList_.isEmpty());
}

void frmMain::mnuExit_Click() {
    cues_.PlaySoundCue(QStringLiteral("byebye"));
    Form_Unload();
    QCoreApplication::exit(0);
}

void frmMain::endFromOutside() {
    Form_Unload(true);
    QCoreApplication::exit(0);
}

void frmMain::Form_Unload(bool quiet) {
    if (std::exchange(unloaded_, true))
        return;
    // Every step runs whatever happened in the one before.
    dropTarget_.close();
    band_.SuspendAlwaysOnTop();
    if (isVisible() && !isMinimized())
        place_.store();
    writeStateFiles(quiet);
    platform_.removeTrayIcon();
    if (state_.bDeleteHistoryOnClose)
        QFile::remove(historyPath());
    platform_.onAbruptExit(nullptr);
}

void frmMain::writeStateFiles(bool quiet) {
    // A failed write is told at the user's exit; the end of a session is quiet.
    if (!settingsUnreadable_ &&
        !SettingsFile(settingsPath()).SaveSettings(state_, folderList_.raw()) && !quiet)
        platform_.message(this, QStringLiteral("There was an error while saving the settings."));
    if (quiet)
        historyList_.writeFile(historyPath());
    else
        SaveHistory();
}

} // namespace kelvane
