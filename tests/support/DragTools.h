#pragma once

// Real drag and drop between two processes on the test desktop: a drag source process
// (tests/helpers/dragsource.cpp) and the real pointer, moved through the XTEST extension
// (xdotool).
//
// Both helpers keep the calling process's event loop running while they wait, so a drop
// target in the test process itself answers the XDND messages as they come.
//
// A target that wants the source to see a copy of a drag offered as a move must set
// Qt::CopyAction in dragEnterEvent and dragMoveEvent as well as in dropEvent: on X11 the
// source takes the action of the target's last status answer, which comes from the drag
// move events; setting it in dropEvent only leaves the source with "move".

#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

namespace kelvane::test {

// The dragsource program of the build.
QString dragSourceProgram();

class DragSource {
public:
    DragSource();
    ~DragSource(); // kills the process if it still runs
    DragSource(const DragSource&) = delete;
    DragSource& operator=(const DragSource&) = delete;

    // Starts dragsource with args and waits for its "ready" line; false on failure (see
    // errorString()).
    bool start(const QStringList& args, int timeoutMs = 10000);
    // The window's global geometry without frame, as dragsource reported it.
    QRect geometry() const { return geometry_; }
    // The next "drag-result" of the process: "copy", "move", "link" or "ignore"; empty on
    // time-out or when the process ended without one.
    QString waitForResult(int timeoutMs = 10000);
    // What went wrong, with the process's error output.
    QString errorString();

private:
    void readLines();

    QProcess process_;
    QByteArray pending_;
    QByteArray stderr_;
    QStringList results_;
    QRect geometry_;
    QString error_;
};

// Presses the left button at `from`, drags with the real pointer to `to` (global pixels)
// and releases it there. False when xdotool failed or did not end in time.
bool dragWithPointer(QPoint from, QPoint to);

} // namespace kelvane::test
