#include "platform/drops/DropAdapter.h"

#include "platform/drops/Download.h"
#include "platform/drops/DropNaming.h"
#include "platform/drops/FileList.h"
#include "platform/drops/WrittenFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QNetworkAccessManager>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTimer>

namespace kelvane::drops {
namespace {

const QString kOctets = QStringLiteral("application/octet-stream");
const QString kPromiseUrl = QStringLiteral("application/x-moz-file-promise-url");
const QString kDestName = QStringLiteral("application/x-moz-file-promise-dest-filename");
const QString kDirectSave = QStringLiteral("XdndDirectSave0");

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
QString firstLine(const QByteArray& bytes) {
    return decodeText(bytes).section(QLatin1Char('\n'), 0, 0).trimmed();
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

QString htmlOf(const QMimeData* data) {
    const QString html = QStringLiteral("text/html");
    return data->hasFormat(html) ? decodeText(data->data(html)) : QString();
}

QString fileUri(const QString& path) {
    return QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded());
}

// Writes bytes the drag carried as a new file in folder; the name gets the extension the
// bytes call for. Empty when they are no picture or cannot be written.
QString writeBytes(const QString& folder, const QString& name, const QByteArray& bytes,
                   qint64 maxBytes, QString& error) {
    const QString type = imageType(bytes.left(32));
    if (type.isEmpty()) {
        error = QStringLiteral("the drag carries no picture");
        return {};
    }
    if (bytes.size() > maxBytes) {
        error = QStringLiteral("the picture is too large");
        return {};
    }
    QFile file(folder + u'/' + withImageExtension(name, type));
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        error = file.errorString();
        file.remove();
        return {};
    }
    return file.fileName();
}

// The image data of a drag as file bytes: PNG or JPEG as they are, a Qt image as PNG.
QByteArray imageBytes(const QMimeData* data) {
    for (const char* type : {"image/png", "image/jpeg"})
        if (data->hasFormat(QString::fromLatin1(type)))
            return data->data(QString::fromLatin1(type));
    if (data->hasImage()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        qvariant_cast<QImage>(data->imageData()).save(&buffer, "PNG");
        return png;
    }
    return {};
}

} // namespace

DropAdapter::DropAdapter(DirectSaver directSave, ProposedName proposedName, DropCache cache)
    : directSave_(std::move(directSave)), proposedName_(std::move(proposedName)),
      cache_(std::move(cache)), network_(new QNetworkAccessManager(this)) {}

DropAdapter::~DropAdapter() = default;

DropAdapter::Offer DropAdapter::offerOf(const QMimeData* data) const {
    Offer offer;
    if (!data)
        return offer;
    const QStringList formats = data->formats();
    offer.directSave = formats.contains(kDirectSave) && bool(directSave_);
    offer.octets = formats.contains(kOctets);
    offer.imageData = formats.contains(QStringLiteral("image/png")) ||
                      formats.contains(QStringLiteral("image/jpeg")) || data->hasImage();
    // The picture's own address: the promised file's address, the picture inside the HTML,
    // the first address of the file list.
    if (formats.contains(kPromiseUrl))
        offer.imageUrl = QUrl(firstLine(data->data(kPromiseUrl)));
    if (!Download::allowedScheme(offer.imageUrl))
        offer.imageUrl = imageInHtml(htmlOf(data));
    if (!Download::allowedScheme(offer.imageUrl)) {
        offer.imageUrl = QUrl();
        for (const QUrl& url : data->urls())
            if (Download::allowedScheme(url)) {
                offer.imageUrl = url;
                break;
            }
    }
    // Named as a browser's cache names the file: after the address where there is one.
    QString name = nameFromUrl(offer.imageUrl);
    if (name.isEmpty() && offer.directSave && proposedName_)
        name = proposedName_();
    if (name.isEmpty() && formats.contains(kDestName))
        name = firstLine(data->data(kDestName));
    offer.name = safeName(name);
    return offer;
}

QString DropAdapter::draggedFile(const QMimeData* data) const {
    const QString local = firstLocalFile(data);
    if (!local.isEmpty())
        return local;
    const Offer offer = offerOf(data);
    return offer.offersNothing() ? QString()
                                 : cache_.root() + QStringLiteral("/drop/") + offer.name;
}

void DropAdapter::receive(const QMimeData* data, Platform::DropHandlers handlers) {
    const QString local = firstLocalFile(data);
    if (!local.isEmpty())
        return deliver(local, {}, handlers);
    const Offer offer = offerOf(data);
    if (offer.offersNothing())
        return deliver({}, QStringLiteral("the drag carries no file"), handlers);
    const QString folder = cache_.newDropFolder();
    if (folder.isEmpty())
        return deliver({}, QStringLiteral("the drop cache cannot be written"), handlers);
    // What is left for later: the address only, all else is read now.
    Offer rest = offer;
    rest.directSave = rest.octets = rest.imageData = false;

    // Asked once: every request makes a browser write another copy.
    if (offer.directSave) {
        const QString target = folder + u'/' + offer.name;
        const DirectSaveAnswer saved = directSave_(*data, fileUri(target));
        if (saved.answer == 'S') {
            const QString written =
                saved.writtenUri.isEmpty() ? target : QUrl(saved.writtenUri).toLocalFile();
            if (!cache_.contains(written))
                return fail(folder, QStringLiteral("the browser saved outside the drop cache"),
                            handlers);
            WrittenFile::watch(
                this, written, limits_,
                [this, rest, folder, written, handlers](const QString& file, const QString& error) {
                    if (!file.isEmpty() && cache_.holdsFile(file))
                        return deliver(file, {}, handlers);
                    QFile::remove(written); // cut off or planted: the download takes its place
                    fallBack(rest, folder,
                             file.isEmpty() ? error
                                            : QStringLiteral("the browser's answer is no file of "
                                                             "the drop cache"),
                             handlers);
                },
                [handlers](qint64 bytes) {
                    if (handlers.progress)
                        handlers.progress(bytes, -1);
                });
            return;
        }
    }
    // Bytes the drag carries are read now: some browsers take them back a second after the
    // drop.
    QString error;
    if (offer.octets) {
        const QString file =
            writeBytes(folder, offer.name, data->data(kOctets), limits_.maxBytes, error);
        if (!file.isEmpty())
            return deliver(file, {}, handlers);
    }
    if (offer.imageData && offer.imageUrl.isEmpty()) { // the last resort, re-encoded
        const QString file =
            writeBytes(folder, offer.name, imageBytes(data), limits_.maxBytes, error);
        if (!file.isEmpty())
            return deliver(file, {}, handlers);
    }
    fallBack(rest, folder, error, handlers);
}

void DropAdapter::fallBack(const Offer& offer, const QString& folder, const QString& error,
                           Platform::DropHandlers handlers) {
    if (offer.imageUrl.isEmpty())
        return fail(folder, error.isEmpty() ? QStringLiteral("no route gave a file") : error,
                    handlers);
    Download::start(
        *network_, offer.imageUrl, folder, offer.name, limits_,
        [this, folder, handlers](const Download::Result& result) {
            if (result.file.isEmpty())
                return fail(folder, result.error, handlers);
            deliver(result.file, {}, handlers);
        },
        handlers.progress);
}

void DropAdapter::fail(const QString& folder, const QString& error,
                       const Platform::DropHandlers& handlers) {
    QDir(folder).removeRecursively(); // nothing of a failed drop stays in the cache
    deliver({}, error, handlers);
}

void DropAdapter::deliver(const QString& file, const QString& error,
                          const Platform::DropHandlers& handlers) {
    // Always after the event that brought it (the drop, a finished download): the drag
    // source hears at once that the drop is over, and no question of the save opens inside
    // a network or file notification.
    if (handlers.done)
        QTimer::singleShot(0, this, [handlers, file, error] { handlers.done(file, error); });
}

} // namespace kelvane::drops
