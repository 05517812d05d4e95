#pragma once

class QAction;
class QMenu;
class QWidget;

namespace kelvane {

// The main window's three pop-up menus. None of them sits on a menu bar: the client picture
// pops up mnuFile, a folder label mnuFolders, the tray icon mnuTrayMenu.
struct MainMenus {
    QMenu* mnuFile = nullptr;
    QAction* mnuAlwaysOnTop = nullptr;
    QAction* mnuHistory = nullptr;
    QMenu* mnuOptions = nullptr;
    QMenu* mnuEffects = nullptr;
    QAction* mnuPlayConfirmationSound = nullptr;
    QAction* mnuShowSavedIMageInClient = nullptr;
    QMenu* mnuWindowSize = nullptr;
    QAction* mnuSmall = nullptr;
    QAction* mnuNormal = nullptr;
    QAction* mnuLarge = nullptr;
    QAction* mnuMore = nullptr;
    QAction* mnuAddFolderToDesktop = nullptr;
    QAction* mnuAddFolder2 = nullptr;
    QAction* mnuClearHistory = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuContents = nullptr;
    QAction* mnuOpenWebsite = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuHideMe = nullptr;
    QAction* mnuExit = nullptr;

    QMenu* mnuFolders = nullptr;
    QAction* mnuAddFolder = nullptr;
    QAction* mnuDelete = nullptr;

    QMenu* mnuTrayMenu = nullptr;
    QAction* mnuTrayRestore = nullptr;
    QAction* mnuTrayExit = nullptr;
};

// Builds the menu tree with its captions, separators and check marks as designed; the menus
// are owned by parent.
MainMenus buildMainMenus(QWidget* parent);

} // namespace kelvane
