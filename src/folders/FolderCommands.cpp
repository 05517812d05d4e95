#include "folders/FolderCommands.h"

#include "core/SoundCues.h"
#include "folders/FolderSlots.h"
#include "folders/SystemFolders.h"
#include "platform/Platform.h"

namespace kelvane {

FolderCommands::FolderCommands(FolderSlots& folders, Platform& platform, SoundCues& cues)
    : folders_(folders), platform_(platform), cues_(cues) {}

bool FolderCommands::AddFolder(QWidget* owner) {
    cues_.PlayClickSound();
    const QString start = FindSystemFolder(platform_, Platform::SpecialFolder::Documents);
    QString path = platform_.browseForFolder(
        owner, QStringLiteral("Select A Folder to add to the Folders List:"), start);
    cues_.PlayClickSound();
    return !path.isEmpty() && AddFolderToList(path, owner);
}

bool FolderCommands::AddFolderToList(QString& path, QWidget* owner) {
    const FolderSlots::AddResult result = folders_.addFolder(path);
    if (result == FolderSlots::AddResult::Empty || result == FolderSlots::AddResult::Unstorable)
        return false;
    const QString message = FolderSlots::messageFor(result);
    if (!message.isEmpty())
        platform_.message(owner, message);
    return true;
}

bool FolderCommands::mnuDelete_Click(int index, QWidget* owner) {
    cues_.PlayClickSound();
    if (index < 0 || index >= FolderSlots::kCount) {
        platform_.message(owner, QStringLiteral("There was an error while attempting to delete "
                                                "this folder from the list."));
        return false;
    }
    const QString path = folders_.slot(index);
    const QString question = QStringLiteral("Are you sure you want to delete the folder \"") +
                             path + QStringLiteral("\" \r\nfrom the Folders List?");
    if (platform_.messageBox(owner, question, QStringLiteral("Confirm Removal"),
                             Platform::Buttons::YesNo,
                             Platform::Icon::Exclamation) != Platform::Answer::Yes)
        return false;
    // The documents folder stays, in whichever slot it stands.
    if (folders_.slot(index) == FindSystemFolder(platform_, Platform::SpecialFolder::Documents)) {
        platform_.message(owner, QStringLiteral("This folder cannot be removed"));
        return false;
    }
    folders_.setSlot(index, QString());
    return true;
}

bool FolderCommands::Text_DblClick(int index, QWidget* owner) {
    const QString path = folders_.slot(index);
    // A folder that has gone is reported and taken off the list, as the periodic check does:
    // the file manager would refuse it without a word.
    if (!path.isEmpty() && !FolderSlots::folderPresent(path)) {
        platform_.message(owner, QStringLiteral("The folder ") + path +
                                     QStringLiteral(" no longer exists on your computer and has "
                                                    "been removed from the Folders List."));
        folders_.setSlot(index, QString());
        return true;
    }
    // The path goes to the file manager as one argument: spaces and quotes need no care.
    if (path.isEmpty() || !platform_.openPath(path))
        platform_.message(owner, QStringLiteral("This folder could not be opened"),
                          Platform::Icon::Critical);
    return false;
}

} // namespace kelvane
