#include "folders/FolderValidator.h"

#include "folders/FolderSlots.h"
#include "platform/Platform.h"

namespace kelvane {

void FolderValidator::CheckAllFolders(FolderSlots& folders, Platform& platform, QWidget* owner,
                                      const std::function<void()>& showLabels) {
    if (checking_)
        return;
    checking_ = true;
    for (int i = 0; i < FolderSlots::kCount; ++i) {
        const QString path = folders.slot(i);
        if (path.isEmpty() || FolderSlots::folderPresent(path))
            continue;
        platform.message(owner,
                         QStringLiteral("The folder ") + path +
                             QStringLiteral(" no longer exists on your computer and has been "
                                            "removed from the Folders List."));
        folders.setSlot(i, QString());
        showLabels();
    }
    checking_ = false;
}

void CheckForFolders(const FolderSlots& folders, const std::function<void()>& applyDefaults) {
    if (folders.allEmpty())
        applyDefaults();
}

} // namespace kelvane
