#pragma once

// The test desktop (scripts/test-desktop.sh) as a person uses it: the pointer (xdotool, or
// the compositor's remote desktop on the Wayland session beside it), the tray, what the window
// manager shows, browsers, and kelvane itself, as a process or in this process.

#include "TestFiles.h"

#include <QPoint>
#include <QProcess>
#include <QSize>
#include <functional>
#include <memory>

class QWidget;

namespace kelvane {
class Platform;
class frmMain;
struct AppState;
} // namespace kelvane

namespace kelvane::test {

inline bool onTestDesktop() {
    return qEnvironmentVariableIsSet("KELVANE_TEST_DESKTOP");
}
// A command's standard output, once it has ended (empty on failure); in env when given.
QString run(const QString& program, const QStringList& args, const QProcessEnvironment& env = {});

// The pointer's way as steps: where it goes, a button pressed there (1 the left one, 3 the
// right one) or released (-1, -3), how long it then rests.
struct PointerStep {
    QPoint to;
    int button = 0;
    int restMs = 0;
};
using PointerPath = QList<PointerStep>;
struct Pointer { // plays a way on its desktop with the event loop going; false on failure
    virtual ~Pointer() = default;
    virtual bool play(const PointerPath& path) = 0;
};
Pointer& xPointer(); // the X desktop's (xdotool)

// The pointer: a move, clicks of one button where it is, a left-button drag in small steps.
void pointerTo(QPoint p);
void clickAt(QPoint p, int button = 1, int times = 1);
bool dragWithPointer(QPoint from, QPoint to, Pointer& pointer = xPointer());
// A picture dragged out of a browser's page the way both browsers take it as a drag, after a
// click 100 px right of and below `from` that gives the page the focus (keep links away).
bool dragFromBrowser(QPoint from, QPoint to, Pointer& pointer = xPointer());

// The Wayland session beside the X desktop: why there is none (empty when there is one).
QString waylandSessionMissing();
// From here on this process and what it starts are in it: X11 programs on its XWayland (so
// run("xprop", ...) and the window functions below look there), Wayland clients on mutter.
void enterWaylandSession();
// The session's pointer (null when its remote desktop did not start); one per process.
std::unique_ptr<Pointer> waylandPointer();

// Pops a process's menu up (a right click, say) and chooses the item `fromEnd` places from its
// end with the keyboard; false when no menu came.
bool chooseFromMenu(qint64 pid, const std::function<void()>& popUp, int fromEnd);

// What the window manager shows of a window (its X id as a number): where its inside is,
// where its frame's outer corner is, whether it is on the screen, whether it is kept above others.
QPoint windowPosition(const QString& id);
QPoint frameCorner(const QString& id);
bool isMapped(const QString& id);
inline bool isAbove(const QString& id) {
    return run("xprop", {"-id", id, "_NET_WM_STATE"}).contains("_NET_WM_STATE_ABOVE");
}

// The tray's window holding a process's icon, empty when none; a real click on it.
QString trayIconHost(qint64 pid);
bool clickTrayIcon(qint64 pid, int button = 1);

// A helper process (this test program with other arguments: a drag source, a drop target),
// once it has said "ready"; killed when it goes.
struct Helper : QProcess {
    bool ready = false;
    explicit Helper(const QStringList& args);
    ~Helper() override;
    QByteArray nextLine(int timeoutMs = 10000);
};
// The helper's window: frameless at 100,600, 120 px square; prints "ready" once the window
// manager has put it there (or had three seconds to), then runs the event loop.
int serveHelperWindow(QWidget& window);

// A JPEG picture of 260 x 300 px, its pixels its own for each seed.
QByteArray jpegPicture(int seed, QSize size = QSize(260, 300));

// A browser (firefox-esr, chromium) showing a page with a profile under home, as an X11
// client, or as a Wayland client of the Wayland session; 800 x 700 px where it can say so.
void startBrowser(QProcess& web, const QString& browser, const QString& page, const QString& home,
                  bool wayland = false);

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
    explicit KelvaneProcess(const TestHome& home, const QString& program = kelvaneProgram());
    ~KelvaneProcess() override;
    void start(const QStringList& args = {});
    // Starts it and waits for its client window: its X id once shown and the splash gone;
    // empty on time-out.
    QString startShown(const QStringList& args = {}, int timeoutMs = 15000);
    // SIGTERM, then waits for the end; false when it did not end in time or not cleanly.
    bool terminate();
};

// The client in this process on the real platform, started from the settings in $HOME as the
// program starts; shown, its splash gone, where the window manager put it. Unloaded when it
// goes.
struct Client {
    std::unique_ptr<Platform> platform;
    std::unique_ptr<AppState> state;
    std::unique_ptr<frmMain> main;
    Client();
    ~Client();
    bool start(); // false when it did not come up
    QString id() const;
    // Where a point of a widget of the client (or of its windows) is on the screen, by the
    // window manager's account.
    QPoint onScreen(const QWidget* widget, QPoint p) const;
};

} // namespace kelvane::test
