#include "history/HistoryCommands.h"

#include "history/HistoryList.h"
#include "platform/Platform.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

namespace kelvane {

void SaveHistory(const HistoryList& list, const QString& file, Platform& platform, QWidget* owner) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (list.writeFile(file))
        return;
    platform.message(owner, QStringLiteral("There was an error while saving the history file."));
}

void CheckClearHistoryMenu(const HistoryList& list, QAction* mnuClearHistory) {
    if (list.isEmpty() && mnuClearHistory)
        mnuClearHistory->setEnabled(false);
}

} // namespace kelvane
