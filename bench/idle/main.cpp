// CPU used by an idle Kelvane (ten folder labels, the pointer off its window) beside a minimal
// Qt Widgets program that does nothing, the two measured in turn in one run; then Kelvane
// following a browser's window (every 140 ms) with its history window docked (every 44 ms),
// among 200 unrelated windows.
// Run it on a desktop: scripts/test-desktop.sh build/bench_idle [seconds]
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// CPU seconds a process has used so far, to the nanosecond (the scheduler's own count).
double cpuSeconds(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/schedstat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    return stat.readAll().split(' ').value(0).toDouble() / 1e9;
}

QByteArray settingsWithTenFolders(const QString& home, bool following) {
    QByteArray text = "alwaysontop=True\r\nclientsize=MED\r\noverwrite=False\r\n"
                      "showsavedimage=True\r\nfirstuse=False\r\n";
    for (int line = 6; line <= 21; ++line) {
        if (following && line == 10)
            text += "showhistory=True";
        if (following && line == 17)
            text += "synchronizewithinternetexplorer=True";
        text += "\r\n";
    }
    for (int slot = 9; slot >= 0; --slot) {
        const QString folder = home + QStringLiteral("/folder%1").arg(slot);
        QDir().mkpath(folder);
        text += folder.toUtf8() + "\r\n";
    }
    return text;
}

double idlePercent(const QString& program, const QStringList& args, int seconds, bool tenFolders,
                   bool following = false) {
    QTemporaryDir home;
    QDir().mkpath(home.path() + QStringLiteral("/rt"));
    QFile::setPermissions(home.path() + QStringLiteral("/rt"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (tenFolders) {
        QDir().mkpath(home.path() + QStringLiteral("/.config/kelvane"));
        QFile f(home.path() + QStringLiteral("/.config/kelvane/kelvane.dat"));
        if (f.open(QIODevice::WriteOnly))
            f.write(settingsWithTenFolders(home.path(), following));
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path() + QStringLiteral("/rt"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForStarted();
    QThread::sleep(6); // past the splash window and the greeting
    const double before = cpuSeconds(p.processId());
    QThread::sleep(static_cast<unsigned long>(seconds));
    const double after = cpuSeconds(p.processId());
    p.terminate();
    if (!p.waitForFinished(5000))
        p.kill();
    p.waitForFinished();
    return 100.0 * (after - before) / seconds;
}

} // namespace

int main(int argc, char* argv[]) {
    // A helper mode: 200 small unrelated windows on the desktop until ended.
    if (argc > 1 && QByteArray(argv[1]) == "--windows") {
        QApplication app(argc, argv);
        std::vector<std::unique_ptr<QWidget>> windows;
        for (int i = 0; i < 200; ++i) {
            windows.push_back(std::make_unique<QWidget>());
            windows.back()->setGeometry(20 + i % 20 * 10, 600 + i / 20 * 10, 40, 30);
            windows.back()->show();
        }
        return app.exec();
    }
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_idle needs a desktop: scripts/test-desktop.sh %s\n", argv[0]);
        return 2;
    }
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    const QString dir = QStringLiteral(KELVANE_BUILD_DIR);
    std::vector<double> base, ours;
    for (int round = 0; round < 3; ++round) { // in turn, so that the machine's moods fall on both
        base.push_back(idlePercent(dir + QStringLiteral("/bench_baseline"), {}, seconds, false));
        ours.push_back(idlePercent(dir + QStringLiteral("/kelvane"), {}, seconds, true));
    }
    std::sort(base.begin(), base.end());
    std::sort(ours.begin(), ours.end());
    std::printf("CPU of one core while idle, over %d s, median of 3 (min to max)\n", seconds);
    std::printf("  minimal Qt Widgets program, doing nothing  %6.3f %% (%.3f to %.3f)\n", base[1],
                base[0], base[2]);
    std::printf("  kelvane, ten folder labels                 %6.3f %% (%.3f to %.3f)   above "
                "baseline %+.3f %%\n",
                ours[1], ours[0], ours[2], ours[1] - base[1]);

    QProcess crowd, browser;
    crowd.start(QString::fromLocal8Bit(argv[0]), {QStringLiteral("--windows")});
    browser.start(QStringLiteral("xterm"), {QStringLiteral("-class"), QStringLiteral("Chromium"),
                                            QStringLiteral("-geometry"), QStringLiteral("20x4")});
    QThread::sleep(3);
    const double following = idlePercent(dir + QStringLiteral("/kelvane"), {}, seconds, true, true);
    browser.kill();
    crowd.kill();
    browser.waitForFinished();
    crowd.waitForFinished();
    std::printf("  kelvane following a browser, history window docked, 200 other windows\n"
                "                                           %6.3f %%   above baseline %+.3f %%\n",
                following, following - base[1]);
    return 0;
}
