#pragma once

#include "ui/ClientControls.h"

#include <QString>
#include <cstdint>
#include <functional>

class QEvent;
class QMimeData;
class QTimer;

namespace kelvane {

class DropReception;
class Platform;
struct PendingDrop;

// The client as a drop target: drags over the picture, the status icons and the labels record
// the pending drop and arm the manual save; a drop becomes a file (perhaps only after a
// download, shown by the busy pointer and a bar over the picture) and then a save.
class DropTarget {
public:
    // save runs with the target (-1 the Desktop, 0 to 9 a label) and the file; when the drag
    // gave none, the file is empty and remark says why, else it is a word on the file or empty.
    using Save =
        std::function<void(std::int16_t index, const QString& file, const QString& remark)>;
    DropTarget(Platform& platform, ClientControls& controls, DropReception& reception,
               PendingDrop& pending, QTimer& Timer4, Save save);

    // A drag event on a control of the client; true when it was one.
    bool handle(const ClientControls::Hit& hit, QEvent* event);
    // A drag is over the client, or a drop's file is still on its way: the manual save waits.
    bool busy() const { return dragOver_ || fetching_ > 0; }
    // Files that arrive from now on are not saved (the program is ending).
    void close() { closed_ = true; }

private:
    void receiveDrop(std::int16_t index, const QMimeData* data);
    void showProgress(qint64 received, qint64 total);
    void endFetch();

    Platform& platform_;
    ClientControls& controls_;
    DropReception& reception_;
    PendingDrop& pending_;
    QTimer& Timer4_;
    Save save_;
    QString dragFile_;      // the file the drag over the client gives
    int fetching_ = 0;      // drops whose file is still on its way
    bool dragOver_ = false; // a drag is over the client
    bool closed_ = false;
};

} // namespace kelvane
