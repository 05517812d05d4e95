#include "platform/drops/DropNaming.h"

#include <QHash>
#include <QStringDecoder>
#include <QUrl>

namespace kelvane::drops {
namespace {

constexpr qsizetype kMaxNameBytes = 200;

const char* const kImageExtensions[] = {".jpg", ".jpeg", ".jpe",  ".png", ".gif", ".webp", ".avif",
                                        ".bmp", ".tif",  ".tiff", ".ico", ".svg", ".jfif"};

bool isControl(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7f || c.category() == QChar::Other_Control;
}

// An SVG picture: XML (after a byte-order mark and white space: a declaration, a comment, a
// doctype or the element itself) whose first element is <svg>, not a page that holds one.
bool isSvg(const QByteArray& head) {
    QByteArray text = head.startsWith("\xEF\xBB\xBF") ? head.mid(3) : head;
    text = text.trimmed();
    const bool xml = text.startsWith("<?xml") || text.startsWith("<svg") ||
                     text.startsWith("<!--") || text.startsWith("<!DOCTYPE svg");
    const qsizetype svg = text.indexOf("<svg");
    const qsizetype html = text.toLower().indexOf("<html");
    return xml && svg >= 0 && (html < 0 || html > svg);
}

} // namespace

QString nameFromUrl(const QUrl& url) {
    // The encoded path: no segment can hide a "/".
    const QString path = QString::fromLatin1(url.path(QUrl::FullyEncoded).toLatin1());
    return decodeEscapes(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
}

QString decodeEscapes(const QString& segment) {
    QString name;
    QByteArray run;  // escaped bytes in a row, decoded together: one character may take four
    QString escaped; // the same as written
    const auto flush = [&] {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(run);
        if (utf8.hasError()) { // no UTF-8: the escapes stay as they were
            name += escaped;
        } else {
            for (const QChar c : text) // a space is the naming rules' to decode, not ours
                name += c == u' ' || c == u'/' || isControl(c)
                            ? QString::fromLatin1(QString(c).toUtf8().toPercentEncoding())
                            : QString(c);
        }
        run.clear();
        escaped.clear();
    };
    for (qsizetype i = 0; i < segment.size(); ++i) {
        bool hex = false;
        const int byte = i + 2 < segment.size() && segment[i] == u'%'
                             ? segment.mid(i + 1, 2).toInt(&hex, 16)
                             : 0;
        if (hex) {
            run += char(byte);
            escaped += segment.mid(i, 3);
            i += 2;
            continue;
        }
        flush();
        name += segment[i];
    }
    flush();
    return name;
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
    return isSvg(head) ? QStringLiteral("svg") : QString();
}

QString withImageExtension(const QString& name, const QString& type) {
    // The extensions each type goes by; the first is the one it gets.
    static const QHash<QString, QStringList> kNames{
        {QStringLiteral("jpg"), {"jpg", "jpeg", "jpe", "jfif"}},
        {QStringLiteral("tif"), {"tif", "tiff"}}};
    const QStringList own = kNames.value(type, {type});
    for (const char* known : kImageExtensions) {
        const QLatin1String ext(known); // with its dot
        if (!name.endsWith(ext, Qt::CaseInsensitive))
            continue;
        // A picture's own extension stays; another picture type's gives way to it.
        if (type.isEmpty() || own.contains(ext.mid(1), Qt::CaseInsensitive))
            return name;
        return name.left(name.size() - ext.size()) + u'.' + type;
    }
    return type.isEmpty() ? name : name + u'.' + type;
}

} // namespace kelvane::drops
