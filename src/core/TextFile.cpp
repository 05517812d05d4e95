#include "core/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace kelvane {

LineReader::LineReader(const QString& path, qsizetype maxLineBytes)
    : file_(path), maxLineBytes_(maxLineBytes), chunk_(64 * 1024, Qt::Uninitialized) {
    open_ = QFileInfo(path).isFile() && file_.open(QIODevice::ReadOnly);
}

std::optional<QString> LineReader::next() {
    if (!open_ || file_.atEnd())
        return std::nullopt;
    QByteArray line;
    bool overlong = false;
    bool readAny = false;
    for (;;) {
        const qint64 n = file_.readLine(chunk_.data(), chunk_.size());
        if (n <= 0)
            break;
        readAny = true;
        if (!overlong) {
            line.append(chunk_.constData(), n);
            overlong = line.size() > maxLineBytes_ + 2; // two bytes of slack for the line end
            if (overlong)
                line.clear();
        }
        if (chunk_[n - 1] == '\n')
            break;
    }
    if (!readAny)
        return std::nullopt;
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    if (std::exchange(first_, false) && line.startsWith("\xEF\xBB\xBF"))
        line.remove(0, 3); // a byte-order mark left by a text editor
    if (overlong || line.size() > maxLineBytes_)
        return QString();
    return QString::fromUtf8(line);
}

bool writeFileAtomically(const QString& path, const QByteArray& contents) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    // The new contents go to a temporary file beside the old one (unnamed where the file
    // system allows, so a killed process leaves nothing behind), which replaces the old file
    // only once everything is written. Unbuffered, because a buffered write that fails
    // part-way (disk full, file-size limit) is not reported by commit(), which would then put
    // the cut-off file in place of the old one; written directly, the short count shows here.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(contents) != contents.size() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace kelvane
