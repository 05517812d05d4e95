#include "platform/drops/DragOffer.h"

#include "platform/drops/Download.h"
#include "platform/drops/DropNaming.h"

#include <QBuffer>
#include <QImage>
#include <QMimeData>
#include <QRegularExpression>
#include <QStringDecoder>

namespace kelvane::drops {
namespace {

const QString kPromiseUrl = QStringLiteral("application/x-moz-file-promise-url");
const QString kDestName = QStringLiteral("application/x-moz-file-promise-dest-filename");
const QString kDirectSave = QStringLiteral("XdndDirectSave0");
// Chromium: the origin of the page the drag started on.
const QString kSourceOrigin = QStringLiteral("chromium/x-renderer-taint");

// Text that a browser hands over as UTF-16 (with or without a byte-order mark) or UTF-8.
QString decodeText(const QByteArray& bytes) {
    const bool utf16 = bytes.startsWith("\xFF\xFE") || (bytes.size() > 1 && bytes[1] == '\0');
    QString text =
        utf16 ? QStringDecoder(QStringDecoder::Utf16LE).decode(bytes) : QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text.remove(QChar(u'\0'));
}

// The first line of such a text: an address, a name.
QString firstLine(const QMimeData& data, const QString& format) {
    return data.hasFormat(format)
               ? decodeText(data.data(format)).section(QLatin1Char('\n'), 0, 0).trimmed()
               : QString();
}

// The first <img src="..."> of a piece of HTML: the picture inside a link, for browsers whose
// file list names the link.
QUrl imageInHtml(const QMimeData& data) {
    static const QRegularExpression img(
        QStringLiteral(R"re(<img\b[^>]*\bsrc\s*=\s*(?:"([^"]*)"|'([^']*)'))re"),
        QRegularExpression::CaseInsensitiveOption);
    const QString html = QStringLiteral("text/html");
    if (!data.hasFormat(html))
        return {};
    const QRegularExpressionMatch m = img.match(decodeText(data.data(html)));
    if (!m.hasMatch())
        return {};
    const QString src = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
    return QUrl(QString(src).replace(QStringLiteral("&amp;"), QStringLiteral("&")));
}

// The original bytes' format: application/octet-stream, perhaps with parameters
// (`application/octet-stream;name="red square.jpg"`), and the name it gives.
QString octetsFormat(const QStringList& formats, QString& name) {
    static const QRegularExpression param(
        QStringLiteral(R"re(;\s*name\s*=\s*(?:"((?:[^"\\]|\\.)*)"|([^;]*)))re"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QString& format : formats) {
        if (format.section(u';', 0, 0)
                .trimmed()
                .compare(QLatin1String("application/octet-stream"), Qt::CaseInsensitive) != 0)
            continue;
        const QRegularExpressionMatch m = param.match(format);
        if (m.hasMatch())
            name = m.capturedLength(1) > 0
                       ? m.captured(1).replace(QRegularExpression(QStringLiteral(R"(\\(.))")),
                                               QStringLiteral("\\1"))
                       : m.captured(2).trimmed();
        return format;
    }
    return {};
}

bool isDataUrl(const QUrl& url) {
    return url.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0;
}

// The bytes a data: address holds (base64 or percent-encoded); empty for any other address.
QByteArray dataUrlBytes(const QUrl& url) {
    if (!isDataUrl(url))
        return {};
    // data:[<type>][;base64],<data>
    const QByteArray rest = url.toEncoded().mid(5);
    const qsizetype comma = rest.indexOf(',');
    if (comma < 0)
        return {};
    const QByteArray bytes = QByteArray::fromPercentEncoding(rest.mid(comma + 1));
    return rest.left(comma).trimmed().toLower().endsWith(";base64")
               ? QByteArray::fromBase64(bytes) // white space and line breaks skipped
               : bytes;
}

} // namespace

DragOffer DragOffer::of(const QMimeData& data, bool directSave,
                        const std::function<QString()>& proposedName) {
    DragOffer offer;
    const QStringList formats = data.formats();
    offer.directSave = directSave && formats.contains(kDirectSave);
    QString name;
    offer.octets = octetsFormat(formats, name);
    offer.imageData = formats.contains(QStringLiteral("image/png")) ||
                      formats.contains(QStringLiteral("image/jpeg")) || data.hasImage();
    // The picture's own address: the promised file's address, the picture inside the HTML,
    // the file list's first address. Only the first: a link's title may follow it.
    const QList<QUrl> urls = data.urls();
    for (const QUrl& url : {QUrl(firstLine(data, kPromiseUrl)), imageInHtml(data),
                            urls.isEmpty() ? QUrl() : urls.first()}) {
        if (Download::allowedScheme(url))
            offer.imageUrl = url;
        else if (isDataUrl(url))
            offer.dataBytes = dataUrlBytes(url);
        else
            continue;
        break;
    }
    const QUrl page(firstLine(data, kSourceOrigin));
    if (Download::allowedScheme(page))
        offer.page = page;
    // The name the browser gives the file, else the address's last segment.
    if (name.isEmpty() && offer.directSave && proposedName)
        name = proposedName();
    if (name.isEmpty())
        name = firstLine(data, kDestName);
    if (name.isEmpty())
        name = nameFromUrl(offer.imageUrl);
    offer.name = safeName(name);
    return offer;
}

QByteArray imageDataBytes(const QMimeData& data) {
    for (const char* type : {"image/png", "image/jpeg"})
        if (data.hasFormat(QString::fromLatin1(type)))
            return data.data(QString::fromLatin1(type));
    if (data.hasImage()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        qvariant_cast<QImage>(data.imageData()).save(&buffer, "PNG");
        return png;
    }
    return {};
}

} // namespace kelvane::drops
