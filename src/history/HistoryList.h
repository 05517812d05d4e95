#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QStringList>

namespace kelvane {

// The most recently saved files, newest first, and their file (one path per line, CR LF,
// UTF-8). The same path may appear more than once. It is also the model the history window
// shows, one row per entry, so the window always shows the list itself.
class HistoryList : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    static constexpr int kMaxEntries = 10;
    // Lines read from the file at start: one fewer than the list holds.
    static constexpr int kLinesLoaded = 9;

    const QStringList& entries() const { return entries_; }
    bool isEmpty() const { return entries_.isEmpty(); }
    int size() const { return static_cast<int>(entries_.size()); }

    // `AddToHistory`: inserts a path at the top; the oldest entry beyond ten falls off.
    void AddToHistory(const QString& sTempFilename2);
    // `RemoveMissingFromHistory`: drops entries whose file is gone, keeping the order.
    void RemoveMissingFromHistory();
    void clear();
    // Out-of-range indexes are ignored.
    void removeAt(int index);

    // `FillList`: empties the list and appends, in file order, each of the first nine lines
    // that is not empty and names an existing file. A missing or unreadable file leaves the
    // list with what was read so far, silently.
    void FillList(const QString& historyFile);
    // Rewrites the file whole, newest first; a failed write leaves the old file as it was.
    // Entries holding a line break are left out, as they could not be read back as one line.
    // Returns false on failure.
    bool writeFile(const QString& historyFile) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QStringList entries_;
};

} // namespace kelvane
