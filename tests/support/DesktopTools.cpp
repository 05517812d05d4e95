#include "DesktopTools.h"

#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "platform/PlatformFactory.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <random>

namespace kelvane::test {

QString run(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(program, args);
    if (p.waitForFinished(10000))
        return QString::fromUtf8(p.readAllStandardOutput());
    p.kill();
    p.waitForFinished();
    return {};
}

void pointerTo(QPoint p) {
    run("xdotool", {"mousemove", "--sync", QString::number(p.x()), QString::number(p.y())});
}

void clickAt(QPoint p, int button, int times) {
    pointerTo(p);
    run("xdotool",
        {"click", "--repeat", QString::number(times), "--delay", "40", QString::number(button)});
}

namespace {
struct XPointer : Pointer {
    // One xdotool run, its timing its own, with the event loop going (this process may be
    // what it drags from or onto).
    bool play(const PointerPath& path) override {
        QStringList cmd;
        for (const PointerStep& s : path) {
            cmd << "mousemove" << QString::number(s.to.x()) << QString::number(s.to.y());
            if (s.button)
                cmd << (s.button > 0 ? "mousedown" : "mouseup") << QString::number(qAbs(s.button));
            if (s.restMs)
                cmd << "sleep" << QString::number(s.restMs / 1000.0);
        }
        QProcess x;
        x.start("xdotool", cmd);
        if (QTest::qWaitFor([&] { return x.state() == QProcess::NotRunning; }, 30000))
            return x.exitStatus() == QProcess::NormalExit && x.exitCode() == 0;
        x.kill();
        x.waitForFinished();
        run("xdotool", {"mouseup", "1"});
        return false;
    }
};
} // namespace

Pointer& xPointer() {
    static XPointer pointer;
    return pointer;
}

bool dragWithPointer(QPoint from, QPoint to, Pointer& pointer) {
    // Paced for Xvfb and openbox: a wiggle on the target, then a hold for the last answer.
    PointerPath path{{from, 0, 60}, {from, 1, 60}};
    for (int i = 1; i <= 22; ++i)
        path << PointerStep{i <= 16 ? from + (to - from) * i / 16 : to + QPoint(i % 2, 0), 0,
                            i < 22 ? 20 : 150};
    return pointer.play(path << PointerStep{path.last().to, -1, 60});
}

bool dragFromBrowser(QPoint from, QPoint to, Pointer& pointer) {
    // A click beside, a press, small moves, a rest, the way, a wiggle, a rest, the release.
    PointerPath path{{from + QPoint(100, 100), 1}, {from + QPoint(100, 100), -1, 500}, {from, 1}};
    for (int d : {1, 2, 3, 4, 6, 8, 10, 14, 20, 30})
        path << PointerStep{from + QPoint(d, d), 0, 80};
    path.last().restMs += 500;
    for (int i = 1; i <= 10; ++i)
        path << PointerStep{from + QPoint(30, 30) + (to - from - QPoint(30, 30)) * i / 10, 0, 50};
    return pointer.play(path << PointerStep{to + QPoint(2, 2), 0, 100} << PointerStep{to, 0, 1000}
                             << PointerStep{to, -1});
}

bool chooseFromMenu(qint64 pid, const std::function<void()>& popUp, int fromEnd) {
    const auto windows = [&] {
        return run("xdotool", {"search", "--onlyvisible", "--pid", QString::number(pid)});
    };
    const QString before = windows();
    popUp();
    if (!QTest::qWaitFor([&] { return windows().size() > before.size(); }, 5000))
        return false;
    for (int i = 0; i < fromEnd; ++i)
        run("xdotool", {"key", "Up"});
    run("xdotool", {"key", "Return"});
    return true;
}

namespace {
QString field(const QString& text, const QString& key) { // the value after key, up to the line end
    return text.section(key, 1, 1).section('\n', 0, 0).trimmed();
}
} // namespace

QPoint windowPosition(const QString& id) {
    const QString info = run("xwininfo", {"-id", id});
    return {field(info, "Absolute upper-left X:").toInt(),
            field(info, "Absolute upper-left Y:").toInt()};
}

QPoint frameCorner(const QString& id) {
    const QStringList extents =
        field(run("xprop", {"-id", id, "_NET_FRAME_EXTENTS"}), "=").split(',');
    return windowPosition(id) -
           QPoint(extents.value(0).trimmed().toInt(), extents.value(2).trimmed().toInt());
}

bool isMapped(const QString& id) {
    return run("xwininfo", {"-id", id}).contains("IsViewable");
}

QString trayIconHost(qint64 pid) {
    const QString root = field(run("xwininfo", {"-root"}), "Window id:").section(' ', 0, 0);
    for (const QString& id : run("xdotool", {"search", "--pid", QString::number(pid)})
                                 .split('\n', Qt::SkipEmptyParts)) {
        const QString parent =
            field(run("xwininfo", {"-tree", "-id", id}), "Parent window id:").section(' ', 0, 0);
        const QString info = run("xwininfo", {"-id", id});
        if (!parent.isEmpty() && parent != root && info.contains("IsViewable") &&
            info.contains("-geometry 22x22"))
            return parent;
    }
    return {};
}

bool clickTrayIcon(qint64 pid, int button) {
    QString icon;
    if (!QTest::qWaitFor([&] { return !(icon = trayIconHost(pid)).isEmpty(); }, 10000))
        return false;
    run("xdotool", {"mousemove", "--window", icon, "8", "8", "click", QString::number(button)});
    return true;
}

Helper::Helper(const QStringList& args) {
    QProcess::start(QCoreApplication::applicationFilePath(), args);
    ready = QTest::qWaitFor([&] { return canReadLine(); }, 10000) && readLine() == "ready\n";
}

Helper::~Helper() {
    kill();
    waitForFinished();
}

QByteArray Helper::nextLine(int timeoutMs) {
    (void)QTest::qWaitFor([&] { return canReadLine(); }, timeoutMs);
    return readLine().trimmed();
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

QByteArray jpegPicture(int seed, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    std::minstd_rand noise(seed); // grain, so that a large picture is large as a file too
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y,
                           qRgb(x * seed % 256 ^ noise() % 64, y * 3 % 256 ^ noise() % 64,
                                (x ^ y) % 256 ^ noise() % 64));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

void startBrowser(QProcess& web, const QString& browser, const QString& page, const QString& home,
                  bool wayland) {
    const QString profile = home + "/browser-profile";
    QDir().mkpath(profile);
    QProcessEnvironment env = web.processEnvironment().isEmpty()
                                  ? QProcessEnvironment::systemEnvironment()
                                  : web.processEnvironment();
    env.insert("MOZ_ENABLE_WAYLAND", wayland ? "1" : "0");
    web.setProcessEnvironment(env);
    web.setStandardOutputFile(QProcess::nullDevice()); // much of it, none of it read
    web.setStandardErrorFile(QProcess::nullDevice());
    if (browser == "chromium")
        web.start(browser, {"--no-sandbox", "--disable-gpu", "--no-first-run",
                            "--disable-background-networking", "--disable-component-update",
                            "--disable-sync", "--user-data-dir=" + profile,
                            wayland ? "--ozone-platform=wayland" : "--ozone-platform=x11",
                            "--window-position=0,0", "--window-size=800,700", page});
    else
        web.start(browser, {"--no-remote", "--new-instance", "--profile", profile, "--width", "800",
                            "--height", "700", page});
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

KelvaneProcess::KelvaneProcess(const TestHome& home, const QString& program) {
    setProgram(program);
    setProcessEnvironment(home.environment());
    setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

KelvaneProcess::~KelvaneProcess() {
    kill();
    waitForFinished(5000);
}

void KelvaneProcess::start(const QStringList& args) {
    setArguments(args);
    QProcess::start();
    waitForStarted();
}

QString KelvaneProcess::startShown(const QStringList& args, int timeoutMs) {
    start(args);
    QString client;
    const auto shown = [&] { // the managed windows: "<id> <desktop> <pid> <host> <title>"
        client.clear();
        for (const QString& row : run("wmctrl", {"-lp"}).split('\n', Qt::SkipEmptyParts)) {
            const QStringList f = row.split(' ', Qt::SkipEmptyParts);
            if (f.size() >= 5 && f[2] == QString::number(processId()) &&
                f.mid(4).join(' ') == "Kelvane") {
                // Not the splash, nor a window on its way out that no longer says what it is.
                const QString type = run("xprop", {"-id", f[0], "_NET_WM_WINDOW_TYPE"});
                if (type.contains("SPLASH") || !type.contains("_NET_WM_WINDOW_TYPE_NORMAL"))
                    return false;
                client = f[0];
            }
        }
        return !client.isEmpty();
    };
    return QTest::qWaitFor([&] { return state() != QProcess::Running || shown(); }, timeoutMs)
               ? client
               : QString();
}

bool KelvaneProcess::terminate() {
    QProcess::terminate();
    return (state() == QProcess::NotRunning || waitForFinished(10000)) &&
           exitStatus() == QProcess::NormalExit && exitCode() == 0;
}

Client::Client() : platform(createPlatform()), state(std::make_unique<AppState>()) {}

Client::~Client() {
    if (!main)
        return;
    main->Form_Unload();
    delete main->splash();
}

bool Client::start() {
    main = std::make_unique<frmMain>(*platform, *state);
    if (main->Form_Load() != frmMain::LoadResult::Running)
        return false;
    main->splash()->setSplashDuration(10);
    return QTest::qWaitFor([&] { return main->isVisible() && !main->splash()->isVisible(); },
                           10000) &&
           QTest::qWaitForWindowExposed(main.get()) &&
           // Where the client takes itself to be: what its hover poll and drops go by.
           QTest::qWaitFor([&] { return main->pos() == windowPosition(id()); }, 5000);
}

QString Client::id() const {
    return QString::number(main->winId());
}

QPoint Client::onScreen(const QWidget* widget, QPoint p) const {
    return windowPosition(QString::number(widget->window()->winId())) +
           widget->mapTo(widget->window(), p);
}

} // namespace kelvane::test
