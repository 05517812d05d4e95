#include "DesktopTools.h"

#include <QDeadlineTimer>
#include <QTest>
#include <QThread>
#include <csignal>

namespace kelvane::test {

QString run(const QString& program, const QStringList& args, int timeoutMs) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool onTestDesktop() {
    return qEnvironmentVariableIsSet("KELVANE_TEST_DESKTOP");
}

void pointerTo(QPoint p) {
    run("xdotool", {"mousemove", "--sync", QString::number(p.x()), QString::number(p.y())});
}

bool dragWithPointer(QPoint from, QPoint to) {
    // Paced for Xvfb and openbox with room to spare. Each motion lets a drag source find the
    // window under the pointer; it sends a position only after the answer to the last one, so
    // a wiggle on the target ends with the target point sent, and the hold lets the answer
    // come back before the drop.
    QString cmd =
        QString("mousemove %1 %2 sleep 0.06 mousedown 1 sleep 0.06 ").arg(from.x()).arg(from.y());
    for (int i = 1; i <= 22; ++i) {
        const QPoint p = i <= 16 ? from + (to - from) * i / 16 : to + QPoint(i % 2, 0);
        cmd += QString("mousemove %1 %2 sleep %3 ").arg(p.x()).arg(p.y()).arg(i < 22 ? 0.02 : 0.15);
    }
    cmd += "mouseup 1 sleep 0.06";
    QProcess xdotool;
    xdotool.start("xdotool", cmd.split(' '));
    if (QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, 30000))
        return xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
    xdotool.kill();
    xdotool.waitForFinished();
    run("xdotool", {"mouseup", "1"});
    return false;
}

QPoint windowPosition(const QString& windowId) {
    const QString shell = run("xdotool", {"getwindowgeometry", "--shell", windowId});
    const auto value = [&](const QString& key) {
        return shell.section(key + '=', 1, 1).section('\n', 0, 0).toInt();
    };
    return {value("X"), value("Y")};
}

QString netWmState(const QString& windowId) {
    return run("xprop", {"-id", windowId, "_NET_WM_STATE"});
}

QString trayIconHost(qint64 pid) {
    const QString root = run("xwininfo", {"-root"}).section("Window id: ", 1, 1).section(' ', 0, 0);
    for (const QString& id : run("xdotool", {"search", "--pid", QString::number(pid)})
                                 .split('\n', Qt::SkipEmptyParts)) {
        const QString parent = run("xwininfo", {"-tree", "-id", id})
                                   .section("Parent window id: ", 1, 1)
                                   .section(' ', 0, 0);
        const QString info = run("xwininfo", {"-id", id});
        if (!parent.isEmpty() && parent != root && info.contains("IsViewable") &&
            info.contains("-geometry 22x22"))
            return parent;
    }
    return {};
}

QProcessEnvironment TestHome::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QDir().mkpath(path() + "/.config");
    QDir().mkpath(path() + "/.runtime");
    QFile::setPermissions(path() + "/.runtime",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert("HOME", path());
    env.insert("XDG_CONFIG_HOME", path() + "/.config");
    env.insert("XDG_DATA_HOME", path() + "/.local/share");
    env.insert("XDG_RUNTIME_DIR", path() + "/.runtime");
    return env;
}

QString kelvaneProgram() {
    return QStringLiteral(KELVANE_BUILD_DIR "/kelvane");
}

KelvaneProcess::KelvaneProcess(const TestHome& home, QString program)
    : program_(program.isEmpty() ? kelvaneProgram() : std::move(program)) {
    process_.setProcessEnvironment(home.environment());
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

KelvaneProcess::~KelvaneProcess() {
    process_.kill();
    process_.waitForFinished(5000);
}

void KelvaneProcess::start(const QStringList& args) {
    process_.start(program_, args);
    process_.waitForStarted();
}

QString KelvaneProcess::waitForMainWindow(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired() && process_.state() == QProcess::Running) {
        // The managed windows: "<id> <desktop> <pid> <host> <title>".
        QString client;
        bool splash = false;
        for (const QString& row : run("wmctrl", {"-lp"}).split('\n', Qt::SkipEmptyParts)) {
            const QStringList f = row.split(' ', Qt::SkipEmptyParts);
            if (f.size() < 5 || f[2] != QString::number(pid()) || f.mid(4).join(' ') != "Kelvane")
                continue;
            if (run("xprop", {"-id", f[0], "_NET_WM_WINDOW_TYPE"}).contains("SPLASH"))
                splash = true;
            else
                client = f[0];
        }
        if (!client.isEmpty() && !splash)
            return client;
        QThread::msleep(100);
    }
    return {};
}

bool KelvaneProcess::terminate(int timeoutMs) {
    if (process_.state() == QProcess::NotRunning)
        return true;
    ::kill(static_cast<pid_t>(pid()), SIGTERM);
    return waitForFinished(timeoutMs);
}

} // namespace kelvane::test
