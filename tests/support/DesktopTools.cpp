#include "DesktopTools.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
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

QProcessEnvironment TestHome::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString home = path();
    QDir().mkpath(home + QStringLiteral("/.config"));
    QDir().mkpath(home + QStringLiteral("/.runtime"));
    QFile::setPermissions(home + QStringLiteral("/.runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/.runtime"));
    return env;
}

QString kelvaneProgram() {
    return QStringLiteral(KELVANE_BUILD_DIR "/kelvane");
}

KelvaneProcess::KelvaneProcess(const TestHome& home, QString program)
    : program_(program.isEmpty() ? kelvaneProgram() : std::move(program)),
      env_(home.environment()) {
    process_.setProcessEnvironment(env_);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

KelvaneProcess::~KelvaneProcess() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

void KelvaneProcess::start(const QStringList& args) {
    process_.start(program_, args);
    process_.waitForStarted();
}

qint64 KelvaneProcess::pid() const {
    return process_.processId();
}

QString KelvaneProcess::waitForMainWindow(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired() && process_.state() == QProcess::Running) {
        // The windows the window manager manages: "<id> <desktop> <pid> <host> <title>".
        const QStringList rows =
            run(QStringLiteral("wmctrl"), {QStringLiteral("-lp")}).split('\n', Qt::SkipEmptyParts);
        for (const QString& row : rows) {
            const QStringList f = row.split(' ', Qt::SkipEmptyParts);
            if (f.size() < 5 || f[2] != QString::number(pid()) || f.mid(4).join(' ') != "Kelvane")
                continue;
            // The client window is the borderless one; the splash window is a splash type.
            const QString type =
                run(QStringLiteral("xprop"),
                    {QStringLiteral("-id"), f[0], QStringLiteral("_NET_WM_WINDOW_TYPE")});
            if (!type.contains(QLatin1String("SPLASH")))
                return f[0];
        }
        QThread::msleep(100);
    }
    return {};
}

QString parentWindow(const QString& windowId) {
    const QString tree =
        run(QStringLiteral("xwininfo"), {QStringLiteral("-tree"), QStringLiteral("-id"), windowId});
    const int at = tree.indexOf(QLatin1String("Parent window id: "));
    return at < 0 ? QString() : tree.mid(at + 18).section(' ', 0, 0).trimmed();
}

QString trayIconHost(qint64 pid) {
    const QString root = run(QStringLiteral("xwininfo"), {QStringLiteral("-root")})
                             .section(QLatin1String("Window id: "), 1, 1)
                             .section(' ', 0, 0);
    const QStringList ids =
        run(QStringLiteral("xdotool"),
            {QStringLiteral("search"), QStringLiteral("--pid"), QString::number(pid)})
            .split('\n', Qt::SkipEmptyParts);
    for (const QString& id : ids) {
        const QString parent = parentWindow(id);
        const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
        if (!parent.isEmpty() && parent != root && info.contains(QLatin1String("IsViewable")) &&
            info.contains(QLatin1String("-geometry 22x22")))
            return parent;
    }
    return {};
}

int childCount(const QString& windowId) {
    const QString tree = run(QStringLiteral("xwininfo"),
                             {QStringLiteral("-children"), QStringLiteral("-id"), windowId});
    const QRegularExpression count(QStringLiteral("(\\d+) child"));
    const auto m = count.match(tree);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

bool KelvaneProcess::terminate(int timeoutMs) {
    if (process_.state() == QProcess::NotRunning)
        return true;
    ::kill(static_cast<pid_t>(pid()), SIGTERM);
    return waitForFinished(timeoutMs);
}

bool KelvaneProcess::waitForFinished(int timeoutMs) {
    return process_.waitForFinished(timeoutMs);
}

QString netWmState(const QString& windowId) {
    return run(QStringLiteral("xprop"),
               {QStringLiteral("-id"), windowId, QStringLiteral("_NET_WM_STATE")});
}

} // namespace kelvane::test
