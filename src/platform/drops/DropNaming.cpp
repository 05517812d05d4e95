#include "platform/drops/DropNaming.h"

#include <QUrl>

namespace kelvane::drops {
namespace {

constexpr qsizetype kMaxNameBytes = 200;

const char* const kImageExtensions[] = {".jpg", ".jpeg", ".jpe",  ".png", ".gif", ".webp", ".avif",
                                        ".bmp", ".tif",  ".tiff", ".ico", ".svg", ".jfif"};

bool isControl(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7f || c.category() == QChar::Other_Control;
}

} // namespace

QString nameFromUrl(const QUrl& url) {
    // The encoded path: "%20" and "%2F" stay escapes, so no segment can hide a "/".
    const QString path = QString::fromLatin1(url.path(QUrl::FullyEncoded).toLatin1());
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString safeName(const QString& raw) {
    QString name;
    for (const QChar c : raw) {
        if (c == u'/')
            name += u'_';
        else if (!isControl(c))
            name += c;
    }
    // No hidden file: leading dots go, and so does white space of every kind (and invisible
    // format characters) that would hide a dot behind it, in whatever order they come.
    qsizetype start = 0;
    while (start < name.size() && (name[start] == u'.' || name[start].isSpace() ||
                                   name[start].category() == QChar::Other_Format))
        ++start;
    name = name.mid(start).trimmed();
    if (name.toUtf8().size() > kMaxNameBytes) {
        // Shorten the stem, keeping an extension of a few characters.
        const qsizetype dot = name.lastIndexOf(u'.');
        const QString ext = dot > 0 && name.size() - dot <= 6 ? name.mid(dot) : QString();
        QString stem = name.left(name.size() - ext.size());
        while (!stem.isEmpty() && (stem + ext).toUtf8().size() > kMaxNameBytes)
            stem.chop(stem.size() > 1 && stem.back().isLowSurrogate() ? 2 : 1);
        name = stem + ext;
    }
    return name.isEmpty() ? QStringLiteral("image") : name;
}

QString imageType(const QByteArray& head) {
    if (head.startsWith("\xFF\xD8\xFF"))
        return QStringLiteral("jpg");
    if (head.startsWith("\x89PNG\r\n\x1A\n"))
        return QStringLiteral("png");
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return QStringLiteral("gif");
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP")
        return QStringLiteral("webp");
    if (head.mid(4, 4) == "ftyp" && (head.mid(8, 4) == "avif" || head.mid(8, 4) == "avis"))
        return QStringLiteral("avif");
    if (head.startsWith("BM") && head.size() >= 26)
        return QStringLiteral("bmp");
    if (head.startsWith("II*\0") || head.startsWith("MM\0*"))
        return QStringLiteral("tif");
    if (head.startsWith(QByteArray("\0\0\1\0", 4)))
        return QStringLiteral("ico");
    return {};
}

QString withImageExtension(const QString& name, const QString& type) {
    for (const char* ext : kImageExtensions)
        if (name.endsWith(QLatin1String(ext), Qt::CaseInsensitive))
            return name;
    return type.isEmpty() ? name : name + u'.' + type;
}

} // namespace kelvane::drops
