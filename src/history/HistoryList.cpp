#include "history/HistoryList.h"

#include "core/FileTests.h"
#include "core/TextFile.h"

namespace kelvane {

namespace {

// Longer lines cannot name a file; they are skipped without being held in memory.
constexpr qsizetype kMaxLineBytes = 64 * 1024;

bool holdsLineBreak(const QString& entry) {
    return entry.contains(QLatin1Char('\n')) || entry.contains(QLatin1Char('\r'));
}

} // namespace

void HistoryList::AddToHistory(const QString& sTempFilename2) {
    beginInsertRows({}, 0, 0);
    entries_.prepend(sTempFilename2);
    endInsertRows();
    while (entries_.size() > kMaxEntries)
        removeAt(size() - 1);
}

void HistoryList::RemoveMissingFromHistory() {
    for (int i = size() - 1; i >= 0; --i) {
        if (!FileExists(entries_.at(i)))
            removeAt(i);
    }
}

void HistoryList::clear() {
    beginResetModel();
    entries_.clear();
    endResetModel();
}

void HistoryList::removeAt(int index) {
    if (index < 0 || index >= size())
        return;
    beginRemoveRows({}, index, index);
    entries_.removeAt(index);
    endRemoveRows();
}

void HistoryList::FillList(const QString& historyFile) {
    beginResetModel();
    entries_.clear();
    // Only a regular file is opened: a FIFO in its place would block for ever.
    LineReader in(historyFile, kMaxLineBytes);
    for (int i = 0; i < kLinesLoaded; ++i) {
        const std::optional<QString> line = in.next();
        if (!line)
            break;
        if (FileExists(*line))
            entries_.append(*line);
    }
    endResetModel();
}

bool HistoryList::writeFile(const QString& historyFile) const {
    QByteArray content;
    for (const QString& entry : entries_) {
        if (!holdsLineBreak(entry))
            content += entry.toUtf8() + "\r\n";
    }
    return writeFileAtomically(historyFile, content);
}

int HistoryList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : size();
}

QVariant HistoryList::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || index.parent().isValid() || index.row() < 0 ||
        index.row() >= size())
        return {};
    return entries_.at(index.row());
}

} // namespace kelvane
