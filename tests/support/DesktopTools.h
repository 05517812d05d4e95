#pragma once

// The test desktop (scripts/test-desktop.sh): commands, the pointer (xdotool), kelvane itself.

#include "TestFiles.h"

#include <QPoint>
#include <QProcess>

class QWidget;

namespace kelvane::test {

inline bool onTestDesktop() {
    return qEnvironmentVariableIsSet("KELVANE_TEST_DESKTOP");
}
// A command's standard output, once it has ended (empty on failure).
QString run(const QString& program, const QStringList& args, int timeoutMs = 10000);
// A command run with the event loop going (this process may answer it); false on failure.
bool runServing(const QString& program, const QStringList& args);
inline void pointerTo(QPoint p) {
    run("xdotool", {"mousemove", "--sync", QString::number(p.x()), QString::number(p.y())});
}
bool dragWithPointer(QPoint from, QPoint to); // left button, in small steps
// A helper process's window (a drag source, a drop target): frameless at 100,600, 120 px
// square; prints "ready" once the window manager has put it there (or had three seconds to),
// then runs the event loop.
int serveHelperWindow(QWidget& window);
// Where the window manager shows a window (its X id as a number), and its _NET_WM_STATE atoms.
QPoint windowPosition(const QString& windowId);
inline QString netWmState(const QString& windowId) {
    return run("xprop", {"-id", windowId, "_NET_WM_STATE"});
}
QString trayIconHost(qint64 pid); // the tray's window holding its icon; empty when none

struct TestHome { // a home of its own for one Kelvane process, with XDG folders under it
    QTemporaryDir dir;
    QString path() const { return dir.path(); }
    QString settingsFile() const { return path() + "/.config/kelvane/kelvane.dat"; }
    QString historyFile() const { return path() + "/.config/kelvane/history.dat"; }
    QProcessEnvironment environment() const;
};

inline QString kelvaneProgram() {
    return QStringLiteral(KELVANE_BUILD_DIR "/kelvane");
}

// The kelvane program (or a copy of it) in a home of its own; killed when it goes.
struct KelvaneProcess : QProcess {
    explicit KelvaneProcess(const TestHome& home, const QString& program = kelvaneProgram()) {
        setProgram(program);
        setProcessEnvironment(home.environment());
        setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    ~KelvaneProcess() override {
        kill();
        waitForFinished(5000);
    }
    void start(const QStringList& args = {}) {
        setArguments(args);
        QProcess::start();
        waitForStarted();
    }
    // The client window's X id once shown and the splash gone; empty on time-out.
    QString waitForMainWindow(int timeoutMs = 15000);
    bool terminate() { // SIGTERM, then waits for the end; false when it did not end in time
        QProcess::terminate();
        return state() == QProcess::NotRunning || waitForFinished(10000);
    }
};

} // namespace kelvane::test
