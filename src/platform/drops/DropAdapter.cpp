#include "platform/drops/DropAdapter.h"

#include "platform/drops/Download.h"
#include "platform/drops/DropNaming.h"
#include "platform/drops/FileList.h"
#include "platform/drops/WrittenFile.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QNetworkAccessManager>
#include <QTimer>

namespace kelvane::drops {
namespace {

const QString kReencoded =
    QStringLiteral("The browser gave only a re-encoded copy, not the original file.");
const QString kNoAnswer = QStringLiteral("the drag source did not answer");

// Whether a file's first bytes are a picture.
bool isPicture(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && !imageType(file.read(32)).isEmpty();
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

} // namespace

DropAdapter::DropAdapter(DirectSaver directSave, ProposedName proposedName, DropCache cache)
    : directSave_(std::move(directSave)), proposedName_(std::move(proposedName)),
      cache_(std::move(cache)), network_(new QNetworkAccessManager(this)) {}

DropAdapter::~DropAdapter() = default;

QString DropAdapter::draggedFile(const QMimeData* data) const {
    // Asking the drag source for data here would hold the window up for as long as the
    // source takes to answer, at every control the drag enters.
    const DragReading drag(data, bool(directSave_), 0);
    if (!drag.mayGiveFile())
        return {};
    QString name = drag.typedName();
    if (name.isEmpty() && drag.directSave() && proposedName_)
        name = proposedName_();
    return cache_.root() + QStringLiteral("/drop/") + safeName(name);
}

void DropAdapter::receive(const QMimeData* data, Platform::DropHandlers handlers) {
    DragReading drag(data, bool(directSave_), limits_.askMs);
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
                                                                  const QString& error) {
                    const bool ours = !file.isEmpty() && cache_.holdsFile(file);
                    if (ours && isPicture(file))
                        return deliver(file, {}, handlers);
                    // Cut off, planted or no picture (an error page): the download takes its
                    // place.
                    QFile::remove(written);
                    fallBack(rest, folder,
                             file.isEmpty() ? error
                             : ours         ? QStringLiteral("the browser's file is no picture")
                                    : QStringLiteral("the browser's answer is no file of the drop "
                                                     "cache"),
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
    // Always after the event that brought it (the drop, a finished download): the drag
    // source hears at once that the drop is over, and no question of the save opens inside
    // a network or file notification.
    if (handlers.done)
        QTimer::singleShot(0, this, [handlers, file, remark] { handlers.done(file, remark); });
}

} // namespace kelvane::drops
