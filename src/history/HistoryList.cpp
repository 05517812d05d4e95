#include "history/HistoryList.h"

#include "saving/FileNaming.h"

#include <QFile>
#include <QSaveFile>

namespace kelvane {

namespace {

// Longer lines cannot name a file; they are skipped without being held in memory.
constexpr qint64 kMaxLineBytes = 64 * 1024;

// Reads one line ended by LF or CR LF (or by the end of the file) without its line end.
// Returns false at the end of the file or on a read error. tooLong is set when the line was
// longer than kMaxLineBytes; its remainder has then been skipped.
bool readLine(QFile& file, QByteArray& line, bool& tooLong) {
    tooLong = false;
    if (file.atEnd())
        return false;
    line = file.readLine(kMaxLineBytes);
    if (line.isEmpty() && file.error() != QFileDevice::NoError)
        return false;
    if (!line.endsWith('\n') && !file.atEnd()) {
        tooLong = true;
        char c = 0;
        while (file.getChar(&c) && c != '\n') {
        }
    }
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return true;
}

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
    QFile file(historyFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray line;
    bool tooLong = false;
    for (int i = 0; i < kLinesLoaded && readLine(file, line, tooLong); ++i) {
        if (tooLong || line.isEmpty())
            continue;
        const QString path = QString::fromUtf8(line);
        if (FileExists(path))
            entries_.append(path);
    }
}

bool HistoryList::writeFile(const QString& historyFile) const {
    QByteArray content;
    for (const QString& entry : entries_) {
        if (!holdsLineBreak(entry))
            content += entry.toUtf8() + "\r\n";
    }
    QSaveFile file(historyFile);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile::commit() does not notice a write cut short while flushing (a full disk, a
    // file-size limit) and would rename the truncated file into place: flush and check first.
    // Returning without commit() discards the temporary file and keeps the old one.
    if (file.write(content) != content.size() || !file.flush())
        return false;
    return file.commit();
}

} // namespace kelvane
