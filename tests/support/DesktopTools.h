#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "TestFiles.h"

namespace kelvane::test {

// Runs a command to its end and returns its standard output (empty on failure).
QString run(const QString& program, const QStringList& args, int timeoutMs = 10000);

// True when the test runs on the test desktop (scripts/test-desktop.sh).
bool onTestDesktop();

// A home of its own for one Kelvane process, with XDG folders under it.
struct TestHome {
    QTemporaryDir dir;
    QString path() const { return dir.path(); }
    QString configDir() const { return dir.path() + QStringLiteral("/.config/kelvane"); }
    QString settingsFile() const { return configDir() + QStringLiteral("/kelvane.dat"); }
    QString historyFile() const { return configDir() + QStringLiteral("/history.dat"); }
    QProcessEnvironment environment() const;
};

// The kelvane program of the build, started in a home of its own.
class KelvaneProcess {
public:
    explicit KelvaneProcess(const TestHome& home, QString program = QString());
    ~KelvaneProcess();

    void start(const QStringList& args = {});
    // Waits until the process shows a window of its own that the window manager maps;
    // returns its X id as xdotool prints it, empty on time-out.
    QString waitForMainWindow(int timeoutMs = 15000);
    // SIGTERM, then waits for the end; false when it did not end in time.
    bool terminate(int timeoutMs = 10000);
    bool waitForFinished(int timeoutMs = 10000);
    qint64 pid() const;
    QProcess& process() { return process_; }

private:
    QProcess process_;
    QString program_;
    QProcessEnvironment env_;
};

// The path of the program in the build folder.
QString kelvaneProgram();

// The window that holds the tray icon of a process (the tray host's socket), empty when the
// process has no embedded tray icon.
QString trayIconHost(qint64 pid);
QString parentWindow(const QString& windowId);
int childCount(const QString& windowId);

// The _NET_WM_STATE atoms the window manager holds for a window.
QString netWmState(const QString& windowId);

} // namespace kelvane::test
