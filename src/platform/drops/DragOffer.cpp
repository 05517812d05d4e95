#include "platform/drops/DragOffer.h"

#include "platform/drops/Download.h"
#include "platform/drops/DropNaming.h"
#include "platform/drops/FileList.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QMimeData>
#include <QRegularExpression>
#include <QStringDecoder>

namespace kelvane::drops {
namespace {

const QString kPromiseUrl = QStringLiteral("application/x-moz-file-promise-url");
const QString kDestName = QStringLiteral("application/x-moz-file-promise-dest-filename");
const QString kDirectSave = QStringLiteral("XdndDirectSave0");
const QString kUriList = QStringLiteral("text/uri-list");
const QString kHtml = QStringLiteral("text/html");
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

// The first <img src="..."> of a piece of HTML: the picture inside a link, for browsers whose
// file list names the link.
QUrl imageInHtml(const QString& html) {
    static const QRegularExpression img(
        QStringLiteral(R"re(<img\b[^>]*\bsrc\s*=\s*(?:"([^"]*)"|'([^']*)'))re"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = img.match(html);
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
        // The toolkit reads a type's name as Latin-1; Chromium writes the file's name in UTF-8.
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8.decode(name.toLatin1());
        if (!utf8.hasError() && QString::fromLatin1(name.toLatin1()) == name)
            name = decoded;
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

// The alt text of the first picture in a piece of markup, else its title; entities decoded.
QString pictureWords(const QString& html) {
    static const QRegularExpression img(QStringLiteral(R"re(<img\b(?:[^>"']|"[^"]*"|'[^']*')*>)re"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QString tag = img.match(html).captured();
    for (const char* attribute : {"alt", "title"}) {
        const QRegularExpression value(
            QStringLiteral("(?<![-\\w])%1\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')")
                .arg(QLatin1String(attribute)),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = value.match(tag);
        QString words = (m.captured(1) + m.captured(2)).simplified();
        if (words.isEmpty())
            continue;
        for (const auto& [entity, c] : {std::pair{"&quot;", "\""},
                                        {"&#39;", "'"},
                                        {"&lt;", "<"},
                                        {"&gt;", ">"},
                                        {"&amp;", "&"}})
            words.replace(QLatin1String(entity), QLatin1String(c));
        return words;
    }
    return {};
}

} // namespace

DragReading::DragReading(const QMimeData* data, bool canDirectSave, int askMs, FormatReader read)
    : data_(data), read_(std::move(read)), formats_(data ? data->formats() : QStringList()),
      askMs_(askMs) {
    directSave_ = canDirectSave && formats_.contains(kDirectSave);
    octets_ = octetsFormat(formats_, typedName_);
    // application/x-qt-image: a format the toolkit can read as an image.
    imageData_ = formats_.contains(QStringLiteral("image/png")) ||
                 formats_.contains(QStringLiteral("image/jpeg")) ||
                 formats_.contains(QStringLiteral("application/x-qt-image"));
}

bool DragReading::mayGiveFile() const {
    if (directSave_ || !octets_.isEmpty() || imageData_)
        return true;
    for (const QString& format : {kUriList, kPromiseUrl, kHtml})
        if (formats_.contains(format))
            return true;
    return false;
}

QByteArray DragReading::ask(const QString& key, const std::function<QByteArray()>& get) {
    if (const auto it = asked_.constFind(key); it != asked_.cend())
        return *it;
    if (slow())
        return {};
    QElapsedTimer clock;
    clock.start();
    const QByteArray bytes = get();
    const qint64 took = clock.elapsed();
    spentMs_ += took;
    // Nothing after the whole wait: the source does not answer, and is asked nothing more.
    silent_ = silent_ || (bytes.isEmpty() && took >= askMs_);
    asked_.insert(key, bytes);
    return bytes;
}

QByteArray DragReading::bytes(const QString& format) {
    if (!formats_.contains(format))
        return {};
    return ask(format, [&] {
        std::optional<QByteArray> read = read_ ? read_(format) : std::nullopt;
        return read ? *read : data_->data(format);
    });
}

// The first line of a text: an address, a name.
QString DragReading::firstLine(const QString& format) {
    return decodeText(bytes(format)).section(QLatin1Char('\n'), 0, 0).trimmed();
}

QString DragReading::localFile() {
    return firstLocalFile(bytes(kUriList));
}

void DragReading::readAddress() {
    if (addressRead_)
        return;
    addressRead_ = true;
    // The promised file's address, the picture inside the HTML (browsers whose file list
    // names the link), the file list's first address. Only the first: a link's title may
    // follow it.
    const std::function<QUrl()> candidates[] = {
        [this] { return QUrl(firstLine(kPromiseUrl)); },
        [this] { return imageInHtml(decodeText(bytes(kHtml))); },
        [this] { return QUrl::fromEncoded(firstUri(bytes(kUriList))); }};
    for (const auto& candidate : candidates) {
        const QUrl url = candidate();
        if (Download::allowedScheme(url))
            imageUrl_ = url;
        else if (isDataUrl(url))
            dataBytes_ = dataUrlBytes(url);
        else
            continue;
        return;
    }
}

QUrl DragReading::imageUrl() {
    readAddress();
    return imageUrl_;
}

QByteArray DragReading::dataBytes() {
    readAddress();
    return dataBytes_;
}

QUrl DragReading::page() {
    const QUrl page(firstLine(kSourceOrigin));
    return Download::allowedScheme(page) ? page : QUrl();
}

QString DragReading::name(const std::function<QString()>& proposedName) {
    QString name = typedName_;
    if (name.isEmpty() && directSave_ && proposedName)
        name = proposedName();
    if (name.isEmpty())
        name = firstLine(kDestName);
    if (name.isEmpty())
        name = nameFromUrl(imageUrl());
    // A blob: address ends in an identifier the page's script was given, which Chromium names
    // the file after: no name a person would give.
    const QUrl address = QUrl::fromEncoded(firstUri(bytes(kUriList)));
    if (address.scheme().compare(QLatin1String("blob"), Qt::CaseInsensitive) == 0 &&
        name.section(u'.', 0, 0) == address.path().section(u'/', -1))
        name.clear();
    // Nothing of it would be left (an address ending in "/", only dots): the page's own words
    // for the picture, its alt or title text, where the drag carries the picture's markup.
    if (safeName(name + u'x') == u"x" && formats_.contains(kHtml))
        if (const QString words = pictureWords(decodeText(bytes(kHtml))); !words.isEmpty())
            name = words;
    return safeName(name);
}

QByteArray DragReading::imageDataBytes() {
    for (const char* type : {"image/png", "image/jpeg"})
        if (formats_.contains(QString::fromLatin1(type)))
            return bytes(QString::fromLatin1(type));
    // Another kind of image the source offers, as it gives it (the toolkit's conversion would
    // wait on the window's thread).
    for (const QString& format : std::as_const(formats_))
        if (format.startsWith(QLatin1String("image/")))
            if (const QByteArray given = bytes(format); !given.isEmpty())
                return given;
    return ask(QStringLiteral("application/x-qt-image"), [this] {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        qvariant_cast<QImage>(data_->imageData()).save(&buffer, "PNG");
        return png;
    });
}

} // namespace kelvane::drops
