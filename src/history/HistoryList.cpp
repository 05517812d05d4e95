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
    entries_.prepend(sTempFilename2);
    while (entries_.size() > kMaxEntries)
        entries_.removeLast();
}

void HistoryList::RemoveMissingFromHistory() {
    entries_.removeIf([](const QString& entry) { return !FileExists(entry); });
}

void HistoryList::removeAt(int index) {
    if (index >= 0 && index < entries_.size())
        entries_.removeAt(index);
}

void HistoryList::FillList(const QString& historyFile) {
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
}

bool HistoryList::writeFile(const QString& historyFile) const {
    QByteArray content;
    for (const QString& entry : entries_) {
        if (!holdsLineBreak(entry))
            content += entry.toUtf8() + "\r\n";
    }
    return writeFileAtomically(historyFile, content);
}

} // namespace kelvane
