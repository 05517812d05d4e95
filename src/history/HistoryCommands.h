#pragma once

#include <QString>

class QWidget;

namespace kelvane {

class HistoryList;
class Platform;

// `SaveHistory`: writes the list to its file; on failure says so once, the list unchanged.
void SaveHistory(const HistoryList& list, const QString& file, Platform& platform, QWidget* owner);

} // namespace kelvane
