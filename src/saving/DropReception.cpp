#include "saving/DropReception.h"

#include "app/frmMain.h"
#include "saving/DropData.h"

#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>

namespace kelvane {

DropReception::DropReception(frmMain& main) : main_(main) {}

DropReception::Target DropReception::targetOf(QObject* watched, int& index) const {
    const ClientControls& c = main_.controls();
    if (watched == c.Image1)
        return Target::Picture;
    for (int i = 0; i < 3; ++i)
        if (watched == c.imgIcon[i])
            return Target::Icon;
    for (int i = 0; i < 10; ++i) {
        if (watched == c.Text[i]) {
            index = i;
            return Target::Label;
        }
    }
    return Target::None;
}

bool DropReception::handle(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop &&
        type != QEvent::DragLeave)
        return false;
    int index = -1;
    const Target target = targetOf(watched, index);
    if (target == Target::None)
        return false;
    if (type == QEvent::DragLeave) // leaving keeps the pending drop and the armed timer
        return true;

    auto* drop = static_cast<QDropEvent*>(event);
    // Anything may be dropped (a drop without a file list reports the failure); it is
    // always a copy.
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    const QMimeData* data = drop->mimeData();
    if (type == QEvent::Drop) {
        if (target == Target::Picture)
            Image1_OLEDragDrop(data);
        else if (target == Target::Icon)
            imgIcon_OLEDragDrop(data);
        else
            Text_OLEDragDrop(index, data);
        return true;
    }
    if (target == Target::Picture)
        Image1_OLEDragOver(data);
    else if (target == Target::Label)
        Text_OLEDragOver(index, data);
    return true;
}

void DropReception::Image1_OLEDragDrop(const QMimeData* data) {
    main_.saving().SaveImage(-1, data, QString(), QString());
}

void DropReception::imgIcon_OLEDragDrop(const QMimeData* data) {
    main_.saving().SaveImage(-1, data, QString(), QString());
}

void DropReception::Text_OLEDragDrop(int index, const QMimeData* data) {
    main_.saving().SaveImage(static_cast<std::int16_t>(index), data, QString(), QString());
}

void DropReception::Image1_OLEDragOver(const QMimeData* data) {
    main_.sInitSaveAsDir = main_.state().sDesktopFolder;
    main_.iCurrentLabel = -1;
    recordPendingFile(data);
}

void DropReception::Text_OLEDragOver(int index, const QMimeData* data) {
    main_.sInitSaveAsDir = main_.FolderList().slot(index);
    recordPendingFile(data);
}

void DropReception::recordPendingFile(const QMimeData* data) {
    const QString file = firstDroppedFile(data);
    if (file.isEmpty()) // no file list: nothing to offer a manual save for
        return;
    main_.sTempSaveAsFilename = file;
    if (!main_.Timer4.isActive()) // setting an enabled timer's flag again changes nothing
        main_.Timer4.start();
}

} // namespace kelvane
