// Start-up time and idle memory of Kelvane beside a minimal Qt Widgets program, in one run.
// Run it on a desktop: scripts/test-desktop.sh build/bench_startup [runs]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Milliseconds from the start of the process until the window manager lists a window of it.
double timeToWindow(QProcess& p, const QString& program, const QProcessEnvironment& env) {
    p.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    p.start(program, {});
    p.waitForStarted();
    const QString pid = QString::number(p.processId());
    while (clock.elapsed() < 20000) {
        QProcess wm;
        wm.start(QStringLiteral("wmctrl"), {QStringLiteral("-lp")});
        wm.waitForFinished();
        for (const QByteArray& line : wm.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> f = line.simplified().split(' ');
            if (f.size() > 2 && f[2] == pid.toLatin1())
                return double(clock.nsecsElapsed()) / 1e6;
        }
        QThread::msleep(2);
    }
    return -1;
}

double residentMiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

struct Figures {
    double startMs;
    double rssMiB;
};

Figures measure(const QString& program, int runs) {
    std::vector<double> starts, rss;
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir home;
        QDir().mkpath(home.path() + QStringLiteral("/rt"));
        QFile::setPermissions(home.path() + QStringLiteral("/rt"), QFileDevice::ReadOwner |
                                                                       QFileDevice::WriteOwner |
                                                                       QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path() + QStringLiteral("/rt"));
        QProcess p;
        starts.push_back(timeToWindow(p, program, env));
        QThread::msleep(5000); // past Kelvane's splash, idle
        rss.push_back(residentMiB(p.processId()));
        p.terminate();
        if (!p.waitForFinished(5000))
            p.kill();
        p.waitForFinished();
    }
    std::sort(starts.begin(), starts.end());
    std::sort(rss.begin(), rss.end());
    return {starts[starts.size() / 2], rss[rss.size() / 2]};
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_startup needs a desktop: scripts/test-desktop.sh %s\n",
                     argv[0]);
        return 2;
    }
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QString dir = QStringLiteral(KELVANE_BUILD_DIR);
    const Figures base = measure(dir + QStringLiteral("/bench_baseline"), runs);
    const Figures ours = measure(dir + QStringLiteral("/kelvane"), runs);
    std::printf("start-up to first window mapped (median of %d)\n", runs);
    std::printf("  minimal Qt Widgets program  %8.1f ms\n", base.startMs);
    std::printf("  kelvane (splash window)     %8.1f ms   ratio %.2f\n", ours.startMs,
                ours.startMs / base.startMs);
    std::printf("resident memory, idle\n");
    std::printf("  minimal Qt Widgets program  %8.1f MiB\n", base.rssMiB);
    std::printf("  kelvane                     %8.1f MiB   ratio %.2f\n", ours.rssMiB,
                ours.rssMiB / base.rssMiB);
    return 0;
}
