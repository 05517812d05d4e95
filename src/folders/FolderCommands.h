#pragma once

#include <QString>

class QWidget;

namespace kelvane {

class FolderSlots;
class Platform;
class SoundCues;

// The folder list's commands: adding through the folder dialog, removing after a question,
// opening a folder. Each returns true when the list changed shape on screen, so the labels
// are to be laid out again; messages are owned by the given window.
class FolderCommands {
public:
    FolderCommands(FolderSlots& folders, Platform& platform, SoundCues& cues);

    // "Add Folder to List...": the folder dialog, then `AddFolderToList`.
    bool AddFolder(QWidget* owner);
    // `AddFolderToList`: puts a folder into the first empty slot (one trailing "/" removed
    // from path); says so when it is listed already or the list is full. False only when
    // nothing could be done at all (an empty path, or one with a line break), silently.
    bool AddFolderToList(QString& path, QWidget* owner);
    // "Delete Folder From List" for the label `index`, after a question. The documents
    // folder stays.
    bool mnuDelete_Click(int index, QWidget* owner);
    // A label's double-click: the folder of label `index` in the file manager; a folder that
    // no longer exists is reported and taken off the list instead.
    bool Text_DblClick(int index, QWidget* owner);

private:
    FolderSlots& folders_;
    Platform& platform_;
    SoundCues& cues_;
};

} // namespace kelvane
