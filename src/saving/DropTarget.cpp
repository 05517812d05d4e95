#include "saving/DropTarget.h"

#include "core/PendingDrop.h"
#include "platform/Platform.h"
#include "saving/DropReception.h"

#include <QDropEvent>
#include <QProgressBar>
#include <QTimer>

namespace kelvane {

DropTarget::DropTarget(Platform& platform, ClientControls& controls, DropReception& reception,
                       PendingDrop& pending, QTimer& Timer4, Save save)
    : platform_(platform), controls_(controls), reception_(reception), pending_(pending),
      Timer4_(Timer4), save_(std::move(save)) {}

bool DropTarget::handle(const ClientControls::Hit& hit, QEvent* event) {
    using Kind = ClientControls::Hit::Kind;
    const QEvent::Type type = event->type();
    if (hit.kind == Kind::None || (type != QEvent::DragEnter && type != QEvent::DragMove &&
                                   type != QEvent::Drop && type != QEvent::DragLeave))
        return false;
    // The manual save waits while a drag is over the client: it is for a drag that ended
    // without a saved file, not for one still under way.
    dragOver_ = type == QEvent::DragEnter || type == QEvent::DragMove;
    if (type == QEvent::DragLeave) // leaving keeps the pending drop and the armed timer
        return true;
    auto* drag = static_cast<QDropEvent*>(event);
    // Anything may be dropped (a drop without a file reports the failure), and it is always
    // a copy: a source that offers a move never loses its file.
    drag->setDropAction(Qt::CopyAction);
    drag->accept();
    const QMimeData* data = drag->mimeData();
    if (type == QEvent::Drop) {
        // The picture and the status icons save into the Desktop folder, a label into its
        // own folder.
        receiveDrop(hit.kind == Kind::Label ? std::int16_t(hit.index) : std::int16_t(-1), data);
        return true;
    }
    if (type == QEvent::DragEnter) // what the drag gives, asked once per control it enters
        dragFile_ = platform_.draggedFile(data);
    const bool arm = hit.kind == Kind::Picture ? reception_.Image1_OLEDragOver(dragFile_)
                     : hit.kind == Kind::Label ? reception_.Text_OLEDragOver(hit.index, dragFile_)
                                               : false;
    if (arm && !Timer4_.isActive()) // setting an enabled timer's flag again changes nothing
        Timer4_.start();
    return true;
}

void DropTarget::receiveDrop(std::int16_t index, const QMimeData* data) {
    // A browser hands over no file: the platform makes one, perhaps only after a download.
    // Meanwhile the busy pointer shows, and a bar over the picture once it takes a moment.
    if (fetching_++ == 0)
        platform_.setBusyCursor(true);
    QTimer::singleShot(300, controls_.prgDrop, [this] {
        if (fetching_ > 0)
            controls_.prgDrop->show();
    });
    platform_.receiveDrop(
        data, {[this, index](const QString& file, const QString& remark) {
                   endFetch();
                   if (closed_)
                       return;
                   if (!file.isEmpty()) // the manual save falls back on the file that came
                       pending_.sTempSaveAsFilename = file;
                   save_(index, file, remark);
                   if (file.isEmpty()) // nothing came: nothing to save by hand either
                       Timer4_.stop();
               },
               [this](qint64 received, qint64 total) { showProgress(received, total); }});
}

void DropTarget::showProgress(qint64 received, qint64 total) {
    QProgressBar* bar = controls_.prgDrop;
    // Bytes in KiB, so that any size fits the bar's int range; no total: a busy bar.
    bar->setRange(0, total > 0 ? int(total / 1024) + 1 : 0);
    bar->setValue(total > 0 ? int(received / 1024) : 0);
}

void DropTarget::endFetch() {
    if (--fetching_ > 0)
        return;
    controls_.prgDrop->hide();
    platform_.setBusyCursor(false);
}

} // namespace kelvane
