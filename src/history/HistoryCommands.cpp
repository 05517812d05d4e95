#include "history/HistoryCommands.h"

#include "history/HistoryList.h"
#include "platform/Platform.h"

namespace kelvane {

void SaveHistory(const HistoryList& list, const QString& file, Platform& platform, QWidget* owner) {
    if (list.writeFile(file))
        return;
    platform.message(owner, QStringLiteral("There was an error while saving the history file."));
}

} // namespace kelvane
