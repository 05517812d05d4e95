#include "platform/drops/FileList.h"

#include <QMimeData>
#include <QUrl>

namespace kelvane::drops {

QString firstLocalFile(const QMimeData* data) {
    if (!data)
        return {};
    static const QString uriList = QStringLiteral("text/uri-list");
    if (!data->hasFormat(uriList))
        return {};
    // text/uri-list: one URI a line, "#" lines are comments. Reading up to the first URI
    // keeps a drag of thousands of files as quick as a drag of one.
    const QByteArray list = data->data(uriList);
    qsizetype start = 0;
    while (start < list.size()) {
        qsizetype end = list.indexOf('\n', start);
        if (end < 0)
            end = list.size();
        const QByteArray line = list.mid(start, end - start).trimmed();
        start = end + 1;
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        // A NUL, raw or escaped, cannot be part of a file name: the system would read a
        // shorter name, which may be another file.
        if (line.contains('\0'))
            return {};
        const QUrl url = QUrl::fromEncoded(line);
        const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
        return path.contains(QChar(u'\0')) ? QString() : path;
    }
    return {};
}

} // namespace kelvane::drops
