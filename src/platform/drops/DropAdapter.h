#pragma once

#include "platform/Platform.h"
#include "platform/drops/Download.h"
#include "platform/drops/DragOffer.h"
#include "platform/drops/DropCache.h"

#include <QByteArray>
#include <QObject>
#include <QUrl>
#include <functional>
#include <optional>

class QMimeData;
class QNetworkAccessManager;

namespace kelvane::drops {

// What the browser answered to a request to save the dragged picture itself (the direct-save
// drag protocol): 'S' saved (perhaps still writing), 'F' failed, 'E' error, 0 not offered.
struct DirectSaveAnswer {
    char answer = 0;
    QString writtenUri; // where the browser says it saved, after an 'S'
};

// Asks the drag source to save the picture under fileUri; only offered drags are asked. ask
// asks the drag source for the drop in the XdndDirectSave0 form, which makes it save and
// answer.
using DirectSaver =
    std::function<DirectSaveAnswer(const std::function<QByteArray()>& ask, const QString& fileUri)>;
// The name the drag source proposes for a direct save (empty when it proposes none).
using ProposedName = std::function<QString()>;
// Reads one format of a drag from its source, waiting at most waitMs for each answer and
// taking at most maxBytes + 1; nothing where the toolkit is to be asked instead.
using SourceReader = std::function<std::optional<QByteArray>(
    const QMimeData* data, const QString& format, int waitMs, qint64 maxBytes)>;

// Turns any drag into "the first local file". In this order: a local file of the file list;
// else the original picture saved by the browser itself (direct save); else the original
// bytes the drag carries (application/octet-stream, a data: address); else the picture
// downloaded from its own http(s) address; else, where the drag names neither, the image
// data the drag carries (re-encoded by the browser: the file comes with a remark saying so).
// A file made from a drag is taken only when its first bytes are a picture. What the drag
// carries is read inside the drop event, only as far as the first route that gives a file
// needs (see DragReading); a file still being written or downloaded arrives later.
class DropAdapter : public QObject {
    Q_OBJECT

public:
    DropAdapter(DirectSaver directSave, ProposedName proposedName, DropCache cache = DropCache(),
                SourceReader read = {});
    ~DropAdapter() override;

    // See Platform::draggedFile: from the type list alone, named where that names the file.
    QString draggedFile(const QMimeData* data) const;
    // See Platform::receiveDrop.
    void receive(const QMimeData* data, Platform::DropHandlers handlers);

    DropCache& cache() { return cache_; }
    // The limits of a download or of a file the browser writes.
    void setLimits(const Limits& limits) { limits_ = limits; }

private:
    void fallBack(const DragOffer& offer, const QString& folder, const QString& error,
                  Platform::DropHandlers handlers);
    void fail(const QString& folder, const QString& error, const Platform::DropHandlers& handlers);
    // Hands on the file, or why there is none; with a file, remark is a word for the user.
    void deliver(const QString& file, const QString& remark,
                 const Platform::DropHandlers& handlers);

    DirectSaver directSave_;
    ProposedName proposedName_;
    DropCache cache_;
    SourceReader read_;
    bool receiving_ = false; // inside receive: the drag source may still be asked
    Limits limits_;
    QNetworkAccessManager* network_ = nullptr;
};

} // namespace kelvane::drops
