#include "platform/drops/FileList.h"

#include <QMimeData>
#include <QUrl>

namespace kelvane::drops {

QByteArray firstUri(const QByteArray& list) {
    // Reading up to the first URI keeps a drag of thousands of files as quick as a drag of one.
    qsizetype start = 0;
    while (start < list.size()) {
        qsizetype end = list.indexOf('\n', start);
        if (end < 0)
            end = list.size();
        const QByteArray line = list.mid(start, end - start).trimmed();
        start = end + 1;
        if (!line.isEmpty() && !line.startsWith('#'))
            return line;
    }
    return {};
}

QString firstLocalFile(const QByteArray& uriList) {
    const QByteArray line = firstUri(uriList);
    // A NUL, raw or escaped, cannot be part of a file name: the system would read a shorter
    // name, which may be another file.
    if (line.contains('\0'))
        return {};
    const QUrl url = QUrl::fromEncoded(line);
    const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
    return path.contains(QChar(u'\0')) ? QString() : path;
}

QString firstLocalFile(const QMimeData* data) {
    static const QString uriList = QStringLiteral("text/uri-list");
    return data && data->hasFormat(uriList) ? firstLocalFile(data->data(uriList)) : QString();
}

} // namespace kelvane::drops
