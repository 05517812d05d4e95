#include "saving/DropData.h"

#include <QMimeData>
#include <QUrl>

namespace kelvane {

QString firstDroppedFile(const QMimeData* data) {
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
        const QUrl url = QUrl::fromEncoded(line);
        return url.isLocalFile() ? url.toLocalFile() : QString();
    }
    return {};
}

} // namespace kelvane
