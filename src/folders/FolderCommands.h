#pragma once

#include <QString>

class QWidget;

namespace kelvane {

class frmMain;
class Platform;

// `BrowseForFolder`: the folder dialog; the chosen folder, or empty when cancelled.
QString BrowseForFolder(Platform& platform, QWidget* owner, const QString& title,
                        const QString& startFolder);

// The folder list's commands: adding through the folder dialog, removing after a question,
// opening a label's folder, and the labels' pop-up menu.
class FolderCommands {
public:
    explicit FolderCommands(frmMain& main);

    // "Add Folder to List...": the whole command after the menu's own click cue.
    void AddFolder();
    // `AddFolderToList`: puts a folder into the first empty slot (one trailing "/" removed from
    // path) and lays the labels out again; says so when it is listed already or the list is
    // full. False only when nothing could be done at all.
    bool AddFolderToList(QString& path);
    // "Delete Folder From List" for the current label.
    void mnuDelete_Click();
    // A label's double-click: the current label's folder in the file manager.
    void Text_DblClick();
    // A right press on a label: the "Folders" menu, the labels disabled while it is open.
    void showFoldersMenu();

private:
    frmMain& main_;
};

} // namespace kelvane
