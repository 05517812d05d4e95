#pragma once

#include <QString>

class QAction;
class QWidget;

namespace kelvane {

class HistoryList;
class Platform;

// `SaveHistory`: writes the list to its file; on failure says so once, the list unchanged.
void SaveHistory(const HistoryList& list, const QString& file, Platform& platform, QWidget* owner);
// `CheckClearHistoryMenu`: an empty list disables "Clear History" for the rest of the run.
void CheckClearHistoryMenu(const HistoryList& list, QAction* mnuClearHistory);

} // namespace kelvane
