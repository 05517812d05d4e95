#include "DesktopTools.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <cstdio>

namespace kelvane::test {

QString run(const QString& program, const QStringList& args, int timeoutMs) {
    QProcess p;
    p.start(program, args);
    if (p.waitForFinished(timeoutMs))
        return QString::fromUtf8(p.readAllStandardOutput());
    p.kill();
    p.waitForFinished();
    return {};
}

bool runServing(const QString& program, const QStringList& args) {
    QProcess x;
    x.start(program, args);
    if (QTest::qWaitFor([&] { return x.state() == QProcess::NotRunning; }, 30000))
        return x.exitStatus() == QProcess::NormalExit && x.exitCode() == 0;
    x.kill();
    x.waitForFinished();
    run("xdotool", {"mouseup", "1"});
    return false;
}

bool dragWithPointer(QPoint from, QPoint to) {
    // Paced for Xvfb and openbox: a wiggle on the target, then a hold for the last answer.
    QString cmd =
        QString("mousemove %1 %2 sleep 0.06 mousedown 1 sleep 0.06 ").arg(from.x()).arg(from.y());
    for (int i = 1; i <= 22; ++i) {
        const QPoint p = i <= 16 ? from + (to - from) * i / 16 : to + QPoint(i % 2, 0);
        cmd += QString("mousemove %1 %2 sleep %3 ").arg(p.x()).arg(p.y()).arg(i < 22 ? 0.02 : 0.15);
    }
    return runServing("xdotool", (cmd + "mouseup 1 sleep 0.06").split(' '));
}

int serveHelperWindow(QWidget& window) {
    std::setvbuf(stdout, nullptr, _IONBF, 0); // each line seen at once
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.setGeometry(100, 600, 120, 120);
    window.show();
    (void)QTest::qWaitFor(
        [&] { return window.windowHandle()->isExposed() && window.pos() == QPoint(100, 600); },
        3000);
    std::printf("ready\n");
    return QApplication::exec();
}

QPoint windowPosition(const QString& windowId) {
    const QString shell = run("xdotool", {"getwindowgeometry", "--shell", windowId});
    const auto value = [&](const char* key) { return shell.section(key, 1).section('\n', 0, 0); };
    return {value("X=").toInt(), value("Y=").toInt()};
}

QString trayIconHost(qint64 pid) {
    const auto field = [](const QString& text, const char* key) {
        return text.section(key, 1, 1).section(' ', 0, 0);
    };
    const QString root = field(run("xwininfo", {"-root"}), "Window id: ");
    for (const QString& id : run("xdotool", {"search", "--pid", QString::number(pid)})
                                 .split('\n', Qt::SkipEmptyParts)) {
        const QString parent = field(run("xwininfo", {"-tree", "-id", id}), "Parent window id: ");
        const QString info = run("xwininfo", {"-id", id});
        if (!parent.isEmpty() && parent != root && info.contains("IsViewable") &&
            info.contains("-geometry 22x22"))
            return parent;
    }
    return {};
}

QProcessEnvironment TestHome::environment() const {
    QDir().mkpath(path() + "/.config");
    QDir().mkpath(path() + "/.runtime");
    QFile::setPermissions(path() + "/.runtime",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString variable : {"HOME=", "XDG_CONFIG_HOME=/.config",
                                   "XDG_DATA_HOME=/.local/share", "XDG_RUNTIME_DIR=/.runtime"})
        env.insert(variable.section('=', 0, 0), path() + variable.section('=', 1));
    return env;
}

QString KelvaneProcess::waitForMainWindow(int timeoutMs) {
    QString client;
    const auto shown = [&] { // the managed windows: "<id> <desktop> <pid> <host> <title>"
        client.clear();
        for (const QString& row : run("wmctrl", {"-lp"}).split('\n', Qt::SkipEmptyParts)) {
            const QStringList f = row.split(' ', Qt::SkipEmptyParts);
            if (f.size() < 5 || f[2] != QString::number(processId()) ||
                f.mid(4).join(' ') != "Kelvane")
                continue;
            if (run("xprop", {"-id", f[0], "_NET_WM_WINDOW_TYPE"}).contains("SPLASH")) {
                client.clear();
                return false;
            }
            client = f[0];
        }
        return !client.isEmpty();
    };
    return QTest::qWaitFor([&] { return state() != QProcess::Running || shown(); }, timeoutMs)
               ? client
               : QString();
}

} // namespace kelvane::test
