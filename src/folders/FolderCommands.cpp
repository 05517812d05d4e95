#include "folders/FolderCommands.h"

#include "app/frmMain.h"
#include "folders/SystemFolders.h"
#include "platform/Platform.h"

#include <QCursor>
#include <QLineEdit>
#include <QMenu>

namespace kelvane {
namespace {} // namespace

QString BrowseForFolder(Platform& platform, QWidget* owner, const QString& title,
                        const QString& startFolder) {
    return platform.browseForFolder(owner, title, startFolder);
}

FolderCommands::FolderCommands(frmMain& main) : main_(main) {}

void FolderCommands::AddFolder() {
    Platform& platform = main_.platform();
    main_.setCursor(Qt::ArrowCursor);
    main_.cues().PlayClickSound();
    const QString start = FindSystemFolder(platform, Platform::SpecialFolder::Documents);
    QString path = BrowseForFolder(
        platform, &main_, QStringLiteral("Select A Folder to add to the Folders List:"), start);
    main_.cues().PlayClickSound();
    if (!path.isEmpty())
        AddFolderToList(path);
}

bool FolderCommands::AddFolderToList(QString& path) {
    const FolderSlots::AddResult result = main_.FolderList().addFolder(path);
    if (result == FolderSlots::AddResult::Empty)
        return false;
    const QString message = FolderSlots::messageFor(result);
    if (!message.isEmpty())
        main_.platform().message(&main_, message);
    main_.layOutClient();
    return true;
}

void FolderCommands::mnuDelete_Click() {
    Platform& platform = main_.platform();
    main_.cues().PlayClickSound();
    const int index = main_.iCurrentLabel;
    const QString path = main_.FolderList().slot(index);
    if (index < 0 || index >= FolderSlots::kCount) {
        platform.message(
            &main_,
            QStringLiteral("There was an error while attempting to delete this folder from the "
                           "list."));
        return;
    }
    const QString question = QStringLiteral("Are you sure you want to delete the folder \"") +
                             path + QStringLiteral("\" \r\nfrom the Folders List?");
    if (platform.messageBox(&main_, question, QStringLiteral("Confirm Removal"),
                            Platform::Buttons::YesNo,
                            Platform::Icon::Exclamation) != Platform::Answer::Yes)
        return;
    // The documents folder stays, in whichever slot it stands.
    if (main_.FolderList().slot(index) ==
        FindSystemFolder(platform, Platform::SpecialFolder::Documents)) {
        platform.message(&main_, QStringLiteral("This folder cannot be removed"));
        return;
    }
    main_.FolderList().setSlot(index, QString());
    main_.layOutClient();
}

void FolderCommands::Text_DblClick() {
    const int index = main_.iCurrentLabel;
    const QString path = main_.FolderList().slot(index);
    // The path goes to the file manager as one argument: spaces and quotes need no care.
    if (index < 0 || path.isEmpty() || !main_.platform().openPath(path))
        main_.platform().message(&main_, QStringLiteral("This folder could not be opened"),
                                 Platform::Icon::Critical);
}

void FolderCommands::showFoldersMenu() {
    auto& labels = main_.controls().Text;
    for (QLineEdit* label : labels)
        label->setEnabled(false);
    main_.menus().mnuFolders->exec(QCursor::pos());
    for (QLineEdit* label : labels)
        label->setEnabled(true);
}

} // namespace kelvane
