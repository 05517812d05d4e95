#pragma once

// The test desktop (scripts/test-desktop.sh): commands, the real pointer (XTEST, through
// xdotool) and the kelvane program in a home of its own.

#include "TestFiles.h"

#include <QPoint>
#include <QProcess>
#include <QTemporaryDir>

namespace kelvane::test {

// A command's standard output, once it has ended (empty on failure).
QString run(const QString& program, const QStringList& args, int timeoutMs = 10000);
bool onTestDesktop();

void pointerTo(QPoint p);
// Presses the left button at `from`, drags to `to` (global pixels) in small steps and releases
// it there, the caller's event loop running all the while (a drop target in this process
// answers as the messages come). False when xdotool failed or did not end in time.
bool dragWithPointer(QPoint from, QPoint to);
// Where the window manager shows a window (its X id as a number).
QPoint windowPosition(const QString& windowId);
// The _NET_WM_STATE atoms the window manager holds for a window.
QString netWmState(const QString& windowId);
// The tray host's window holding a process's tray icon, empty when none is embedded.
QString trayIconHost(qint64 pid);

// A home of its own for one Kelvane process, with XDG folders under it.
struct TestHome {
    QTemporaryDir dir;
    QString path() const { return dir.path(); }
    QString settingsFile() const { return path() + "/.config/kelvane/kelvane.dat"; }
    QString historyFile() const { return path() + "/.config/kelvane/history.dat"; }
    QProcessEnvironment environment() const;
};

QString kelvaneProgram();

// The kelvane program of the build, started in a home of its own; killed when it goes.
class KelvaneProcess {
public:
    explicit KelvaneProcess(const TestHome& home, QString program = QString());
    ~KelvaneProcess();
    void start(const QStringList& args = {});
    // Waits until the window manager shows the client window and the splash has gone (the
    // start-up and its greeting are over); returns its X id, empty on time-out.
    QString waitForMainWindow(int timeoutMs = 15000);
    // SIGTERM, then waits for the end; false when it did not end in time.
    bool terminate(int timeoutMs = 10000);
    bool waitForFinished(int timeoutMs = 10000) { return process_.waitForFinished(timeoutMs); }
    qint64 pid() const { return process_.processId(); }
    QProcess& process() { return process_; }

private:
    QProcess process_;
    QString program_;
};

} // namespace kelvane::test
