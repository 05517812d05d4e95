#pragma once

#include <QString>
#include <cstdint>

namespace kelvane {

// Program-wide values. The persisted ones are read by SettingsFile at start-up and written
// back when the program ends; the rest are derived or constant.
struct AppState {
    // Persisted settings, in the order of the settings file.
    bool bAlwaysOnTop = false;
    QString sClientSize;
    bool bAutomaticallyOverwrite = false; // carried through the settings file only
    bool bShowSavedImage = false;
    bool bFirstUse = false;
    QString sWindowsFolder;
    // The main window's left and top edge in twips. The window owns its position: the main
    // window copies it here before saving and moves itself to it after loading.
    double WindowLeft = 0;
    double WindowTop = 0;
    bool bPlayConfirmSound = false;
    bool bShowHistory = false;
    bool bAlwaysPromptFileDelete = false;
    bool bDeleteHistoryOnClose = false;
    bool bShowSaveErrorMessage = false;
    bool bLoadAppWhenComputerStarts = false;
    bool bAutoIncrementSavedFiles = false;
    bool bCorrectQueryStringNames = false;
    bool bSynchronizeWithInternetExplorer = false;

    // Derived or constant values.
    QString sDesktopFolder;
    QString sVersionText;
    QString sBuildText;
    QString sHomepageAddress;
    QString sExecutableName = QStringLiteral("kelvan11.exe");
    std::int16_t iSplashDuration = 3500;
    bool bStartupInProgress = false;
};

} // namespace kelvane
