#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

namespace kelvane {

// Reads a text file one line at a time, holding at most one line (and at most maxLineBytes of
// it). A file that is missing or is not a regular file (a folder, a FIFO) reads as empty, so
// it never blocks.
class LineReader {
public:
    LineReader(const QString& path, qsizetype maxLineBytes);

    // The next line without its line end (LF or CR LF) and without a leading byte-order mark,
    // or nothing at the end of the file or on a read error. A line over the limit is consumed
    // to its end and comes back empty: a cut-off path or word would be worse than none.
    std::optional<QString> next();

private:
    QFile file_;
    qsizetype maxLineBytes_;
    QByteArray chunk_;
    bool open_ = false;
    bool first_ = true;
};

// Replaces a file with new contents so that it is either the old file or the whole new one,
// never a part; creates the parent folder when missing. False on any failure (the old file
// then stays as it was).
bool writeFileAtomically(const QString& path, const QByteArray& contents);

} // namespace kelvane
