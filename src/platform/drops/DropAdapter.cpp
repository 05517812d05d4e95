#include "platform/drops/DropAdapter.h"

#include "platform/drops/Download.h"
#include "platform/drops/DropNaming.h"
#include "platform/drops/FileList.h"
#include "platform/drops/WrittenFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QNetworkAccessManager>
#include <QScopeGuard>
#include <QTimer>

namespace kelvane::drops {
namespace {

const QString kReencoded =
    QStringLiteral("The browser gave only a re-encoded copy, not the original file.");
const QString kNoAnswer = QStringLiteral("the drag source did not answer");

// Whether a JPEG's segments run on to its end-of-image marker (what follows the marker, such
// as a video some cameras append, does not count). A write cut short, by a full disk say, ends
// inside a segment or the coded data.
bool reachesEndMarker(QByteArrayView jpeg) {
    const auto at = [&jpeg](qsizetype i) { return i < jpeg.size() ? uchar(jpeg[i]) : 0; };
    for (qsizetype i = 2; i + 1 < jpeg.size();) {
        const uchar marker = at(i + 1);
        if (at(i) != 0xFF)
            return false;
        if (marker == 0xD9)
            return true;
        if (marker == 0xFF || marker == 0x01 || (marker & 0xF8) == 0xD0) { // no length
            i += marker == 0xFF ? 1 : 2;
            continue;
        }
        i += 2 + (at(i + 2) << 8 | at(i + 3));
        if (marker == 0xDA) // the coded data runs to the next marker that is no restart
            while (i + 1 < jpeg.size() &&
                   (at(i) != 0xFF || at(i + 1) == 0 || (at(i + 1) & 0xF8) == 0xD0))
                ++i;
    }
    return false;
}

// Why a file another program wrote cannot be taken as the picture; empty when it can.
QString flawOf(const QString& path) {
    QFile file(path);
    const uchar* bytes = file.open(QIODevice::ReadOnly) ? file.map(0, file.size()) : nullptr;
    const QByteArrayView all(bytes, bytes ? file.size() : 0);
    const QString type = imageType(all.first(std::min(all.size(), kTypeHeadBytes)).toByteArray());
    if (type.isEmpty())
        return QStringLiteral("the browser's file is no picture");
    if (type == u"jpg" && !reachesEndMarker(all))
        return QStringLiteral("the browser's file is cut short");
    return {};
}

// The browser's file under the extension its bytes call for ("img" holding JPEG is "img.jpg");
// as it was when it cannot be renamed.
QString namedByContent(const QString& path) {
    QFile file(path);
    const QString type =
        file.open(QIODevice::ReadOnly) ? imageType(file.read(kTypeHeadBytes)) : QString();
    const QFileInfo info(path);
    const QString named = info.dir().filePath(withImageExtension(info.fileName(), type));
    return named == path || QFileInfo::exists(named) || !QFile::rename(path, named) ? path : named;
}

QString fileUri(const QString& path) {
    return QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded());
}

// Writes bytes the drag carried as a new file in folder; the name gets the extension the
// bytes call for. Empty when they are no picture or cannot be written.
QString writeBytes(const QString& folder, const QString& name, const QByteArray& bytes,
                   qint64 maxBytes, QString& error) {
    const QString type = imageType(bytes.left(kTypeHeadBytes));
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

} // namespace

DropAdapter::DropAdapter(DirectSaver directSave, ProposedName proposedName, DropCache cache,
                         SourceReader read)
    : directSave_(std::move(directSave)), proposedName_(std::move(proposedName)),
      cache_(std::move(cache)), read_(std::move(read)), network_(new QNetworkAccessManager(this)) {}

DropAdapter::~DropAdapter() = default;

QString DropAdapter::draggedFile(const QMimeData* data) const {
    // Asking the drag source for data here would hold the window up for as long as the
    // source takes to answer, at every control the drag enters. While a drop is still being
    // read, another drag is not taken: it would take the drag's selection from the first.
    if (receiving_)
        return {};
    const DragReading drag(data, bool(directSave_), 0);
    if (!drag.mayGiveFile())
        return {};
    QString name = drag.typedName();
    if (name.isEmpty() && drag.directSave() && proposedName_)
        name = proposedName_();
    return cache_.root() + QStringLiteral("/drop/") + safeName(name);
}

void DropAdapter::receive(const QMimeData* data, Platform::DropHandlers handlers) {
    if (receiving_)
        return deliver({}, QStringLiteral("another drop is still being read"), handlers);
    receiving_ = true;
    const auto received = qScopeGuard([this] { receiving_ = false; });
    FormatReader read;
    if (read_)
        read = [this, data](const QString& format) {
            return read_(data, format, limits_.answerMs, limits_.maxBytes);
        };
    DragReading drag(data, bool(directSave_), limits_.askMs, read);
    const QString local = drag.localFile();
    if (!local.isEmpty())
        return deliver(local, {}, handlers);
    if (!drag.directSave() && drag.octets().isEmpty() && !drag.imageData() &&
        drag.imageUrl().isEmpty() && drag.dataBytes().isEmpty())
        return deliver({}, drag.slow() ? kNoAnswer : QStringLiteral("the drag carries no file"),
                       handlers);
    const QString folder = cache_.newDropFolder();
    if (folder.isEmpty())
        return deliver({}, QStringLiteral("the drop cache cannot be written"), handlers);
    const QString name = drag.name(proposedName_);
    // What is left for later: the address, read now.
    const auto later = [&] {
        const QUrl url = drag.imageUrl();
        return DragOffer{url, url.isEmpty() ? QUrl() : drag.page(), name};
    };

    // Asked once: every request makes a browser write another copy.
    if (drag.directSave() && !drag.slow()) {
        const QString target = folder + u'/' + name;
        const DirectSaveAnswer saved = directSave_(
            [&drag] { return drag.bytes(QStringLiteral("XdndDirectSave0")); }, fileUri(target));
        if (saved.answer == 'S') {
            const QString written =
                saved.writtenUri.isEmpty() ? target : QUrl(saved.writtenUri).toLocalFile();
            if (!cache_.contains(written))
                return fail(folder, QStringLiteral("the browser saved outside the drop cache"),
                            handlers);
            WrittenFile::watch(
                this, written, limits_,
                [this, rest = later(), folder, written, handlers](const QString& file,
                                                                  QString error) {
                    if (error.isEmpty() && !cache_.holdsFile(file))
                        error = QStringLiteral("the browser's answer is no file of the drop cache");
                    if (error.isEmpty())
                        error = flawOf(file);
                    if (error.isEmpty())
                        return deliver(namedByContent(file), {}, handlers);
                    // Unfinished, cut short, planted or no picture (an error page): the download
                    // takes its place.
                    QFile::remove(written);
                    fallBack(rest, folder, error, handlers);
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
    const auto write = [&](const QByteArray& bytes, const QString& remark) {
        const QString file = writeBytes(folder, name, bytes, limits_.maxBytes, error);
        if (!file.isEmpty())
            deliver(file, remark, handlers);
        return !file.isEmpty();
    };
    if (!drag.octets().isEmpty() && write(drag.bytes(drag.octets()), {}))
        return;
    if (!drag.dataBytes().isEmpty() && write(drag.dataBytes(), {}))
        return;
    // The last resort, re-encoded: only where the drag names no picture to fetch.
    if (drag.imageData() && drag.imageUrl().isEmpty() && write(drag.imageDataBytes(), kReencoded))
        return;
    fallBack(later(), folder, drag.slow() ? kNoAnswer : error, handlers);
}

void DropAdapter::fallBack(const DragOffer& offer, const QString& folder, const QString& error,
                           Platform::DropHandlers handlers) {
    if (offer.imageUrl.isEmpty())
        return fail(folder, error.isEmpty() ? QStringLiteral("no route gave a file") : error,
                    handlers);
    Download::start(
        *network_, offer.imageUrl, offer.page, folder, offer.name, limits_,
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

void DropAdapter::deliver(const QString& file, const QString& remark,
                          const Platform::DropHandlers& handlers) {
    // A page's one-pixel picture is there to count visits, not for anyone to keep.
    if (!file.isEmpty() && cache_.contains(file) && QImageReader(file).size() == QSize(1, 1))
        return fail(QFileInfo(file).path(), QStringLiteral("the picture is a 1-pixel tracker"),
                    handlers);
    // Always after the event that brought it (the drop, a finished download): the drag
    // source hears at once that the drop is over, and no question of the save opens inside
    // a network or file notification.
    if (handlers.done)
        QTimer::singleShot(0, this, [handlers, file, remark] { handlers.done(file, remark); });
}

} // namespace kelvane::drops
