#include "app/MainMenus.h"

#include <QActionGroup>
#include <QMenu>

namespace kelvane {
namespace {

QAction* item(QMenu* menu, const char* objectName, const QString& caption, bool checkable = false,
              bool checked = false) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(objectName));
    action->setCheckable(checkable);
    action->setChecked(checked);
    return action;
}

QMenu* subMenu(QMenu* parent, const char* objectName, const QString& caption) {
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(objectName));
    return menu;
}

QMenu* topMenu(QWidget* parent, const char* objectName, const QString& caption) {
    auto* menu = new QMenu(caption, parent);
    menu->setObjectName(QString::fromLatin1(objectName));
    return menu;
}

} // namespace

MainMenus buildMainMenus(QWidget* parent) {
    MainMenus m;
    m.mnuFile = topMenu(parent, "mnuFile", QStringLiteral("&File"));
    m.mnuAlwaysOnTop =
        item(m.mnuFile, "mnuAlwaysOnTop", QStringLiteral("Always On Top"), true, true);
    m.mnuHistory = item(m.mnuFile, "mnuHistory", QStringLiteral("Show History..."));
    m.mnuOptions = subMenu(m.mnuFile, "mnuOptions", QStringLiteral("Options"));
    m.mnuEffects = subMenu(m.mnuOptions, "mnuEffects", QStringLiteral("Effects"));
    m.mnuPlayConfirmationSound = item(m.mnuEffects, "mnuPlayConfirmationSound",
                                      QStringLiteral("Play Confirmation Sound"), true, true);
    m.mnuShowSavedIMageInClient = item(m.mnuEffects, "mnuShowSavedIMageInClient",
                                       QStringLiteral("Show Saved Image in Client"), true, true);
    m.mnuWindowSize = subMenu(m.mnuOptions, "mnuWindowSize", QStringLiteral("Window Size"));
    m.mnuSmall = item(m.mnuWindowSize, "mnuSmall", QStringLiteral("Small"), true);
    m.mnuNormal = item(m.mnuWindowSize, "mnuNormal", QStringLiteral("Normal"), true);
    m.mnuLarge = item(m.mnuWindowSize, "mnuLarge", QStringLiteral("Large"), true);
    // One choice of three, drawn with radio marks; none is marked for an unknown size.
    auto* sizes = new QActionGroup(m.mnuWindowSize);
    sizes->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* size : {m.mnuSmall, m.mnuNormal, m.mnuLarge})
        sizes->addAction(size);
    m.mnuMore = item(m.mnuOptions, "mnuMore", QStringLiteral("More..."));
    m.mnuAddFolderToDesktop =
        item(m.mnuFile, "mnuAddFolderToDesktop", QStringLiteral("Add Folder to Desktop..."));
    m.mnuAddFolder2 = item(m.mnuFile, "mnuAddFolder2", QStringLiteral("Add Folder to List..."));
    m.mnuClearHistory = item(m.mnuFile, "mnuClearHistory", QStringLiteral("Clear History"));
    m.mnuHelp = subMenu(m.mnuFile, "mnuHelp", QStringLiteral("Help"));
    m.mnuContents = item(m.mnuHelp, "mnuContents", QStringLiteral("Contents..."));
    m.mnuHelp->addSeparator()->setObjectName(QStringLiteral("lin3"));
    m.mnuOpenWebsite =
        item(m.mnuHelp, "mnuOpenWebsite", QStringLiteral("Open Kelvane Homepage..."));
    m.mnuHelp->addSeparator()->setObjectName(QStringLiteral("lin9"));
    m.mnuAbout = item(m.mnuHelp, "mnuAbout", QStringLiteral("About Kelvane..."));
    m.mnuFile->addSeparator()->setObjectName(QStringLiteral("lin2"));
    m.mnuHideMe = item(m.mnuFile, "mnuHideMe", QStringLiteral("Hide Kelvane"));
    m.mnuFile->addSeparator()->setObjectName(QStringLiteral("lin8"));
    m.mnuExit = item(m.mnuFile, "mnuExit", QStringLiteral("Exit Kelvane"));

    m.mnuFolders = topMenu(parent, "mnuFolders", QStringLiteral("Folders"));
    m.mnuAddFolder = item(m.mnuFolders, "mnuAddFolder", QStringLiteral("Add Folder to List..."));
    m.mnuDelete = item(m.mnuFolders, "mnuDelete", QStringLiteral("Delete Folder From List"));

    m.mnuTrayMenu = topMenu(parent, "mnuTrayMenu", QStringLiteral("Tray Menu"));
    m.mnuTrayRestore = item(m.mnuTrayMenu, "mnuTrayRestore", QStringLiteral("Show Kelvane"));
    m.mnuTrayExit = item(m.mnuTrayMenu, "mnuTrayExit", QStringLiteral("Exit Kelvane"));
    return m;
}

} // namespace kelvane
