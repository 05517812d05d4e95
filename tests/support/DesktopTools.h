#pragma once

// The test desktop (scripts/test-desktop.sh): commands, the pointer (xdotool), kelvane itself.

#include "TestFiles.h"

#include <QPoint>
#include <QProcess>

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
// Presses the left button at `from`, drags to `to` in small steps and releases it there.
bool dragWithPointer(QPoint from, QPoint to);
// Where the window manager shows a window (its X id as a number), and its _NET_WM_STATE atoms.
QPoint windowPosition(const QString& windowId);
inline QString netWmState(const QString& windowId) {
    return run("xprop", {"-id", windowId, "_NET_WM_STATE"});
}
// The tray host's window holding a process's tray icon, empty when none is embedded.
QString trayIconHost(qint64 pid);

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
    // Waits until the window manager shows the client window and the splash has gone (the
    // start-up and its greeting are over); returns its X id, empty on time-out.
    QString waitForMainWindow(int timeoutMs = 15000);
    // SIGTERM, then waits for the end; false when it did not end in time.
    bool terminate() {
        QProcess::terminate();
        return state() == QProcess::NotRunning || waitForFinished(10000);
    }
};

} // namespace kelvane::test
