// The real program, driven as a person does: a second copy and the lock, its place after each
// road out, following the browser, hiding and the tray, the autostart entry, the display lost.
#include "DesktopTools.h"
#include "platform/x11/DesktopBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QScopeGuard>
#include <csignal>

using namespace kelvane::test;

namespace {

// A panel's side of the status notifier protocol: the watcher that tray icons register with,
// which says that a host (the panel) shows them.
class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)

public:
    QStringList items;
    bool hostRegistered() const { return true; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service) { items << service; }
};

// The desktop's notification server.
class Notifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList shown; // "<summary>: <body>"

public Q_SLOTS:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int) {
        shown << summary + ": " + body;
        return uint(shown.size());
    }
};

// A browser's window as following sees it: an xterm of Chromium's class.
struct Browser : QProcess {
    bool open() {
        start("xterm", {"-class", "Chromium", "-geometry", "20x4+900+700"});
        return waitForStarted();
    }
    void close() {
        kill();
        waitForFinished();
    }
    ~Browser() override { close(); }
};

// The client window a process shows, empty while it shows none.
QString shownClient(qint64 pid) {
    return run("xdotool",
               {"search", "--onlyvisible", "--pid", QString::number(pid), "--name", "^Kelvane$"})
        .trimmed();
}

} // namespace

class TestProgram : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        if (!onTestDesktop())
            QSKIP("needs the test desktop (scripts/test-desktop.sh)");
    }

    // Each road out records where the window was dragged (the first run's place unrounded);
    // the next start puts it there, on top, its icon in the tray.
    void placeSurvivesEveryRoadOut_data() {
        QTest::addColumn<QString>("road"); // a menu's "Exit Kelvane", or a signal
        QTest::addColumn<bool>("firstRun");
        QTest::addColumn<bool>("deleteHistory"); // on close
        QTest::newRow("Exit from the client's menu") << "client menu" << false << false;
        QTest::newRow("Exit from the tray menu") << "tray menu" << false << false;
        QTest::newRow("SIGTERM") << "SIGTERM" << false << false;
        QTest::newRow("Hide Kelvane, then SIGTERM") << "hidden" << false << false;
        QTest::newRow("SIGINT") << "SIGINT" << false << false;
        QTest::newRow("SIGHUP, the history deleted") << "SIGHUP" << false << true;
        QTest::newRow("first run, SIGTERM") << "SIGTERM" << true << false;
    }
    void placeSurvivesEveryRoadOut() {
        QFETCH(QString, road);
        QFETCH(bool, firstRun);
        QFETCH(bool, deleteHistory);
        const int signal =
            QMap<QString, int>{{"SIGINT", SIGINT}, {"SIGHUP", SIGHUP}}.value(road, SIGTERM);
        QPoint at = firstRun ? QPoint(647, 505) : QPoint(400, 400);
        QPoint twips = firstRun ? QPoint(9700, 7580) : at * 15;
        Browser browser; // the first run follows it: with one open, the client stays shown
        QVERIFY(!firstRun || browser.open());
        TestHome home;
        const QString saved = home.path() + "/picture one.jpg";
        writeFile(saved, "not really a picture");
        writeFile(home.historyFile(), (saved + "\r\n").toUtf8());
        if (!firstRun)
            writeFile(
                home.settingsFile(),
                previousRun({"alwaysontop=True", "clientsize=MED", "left= 6000", "top= 6000",
                             "deletehistoryonclose=" + QString(deleteHistory ? "True" : "False")},
                            {home.path()}));
        for (const bool again : {false, true}) {
            KelvaneProcess kelvane(home);
            const QString id = kelvane.startShown();
            QVERIFY2(!id.isEmpty(), "the main window did not appear");
            QTRY_COMPARE(windowPosition(id), at);
            QTRY_VERIFY(isAbove(id));
            QTRY_VERIFY(!trayIconHost(kelvane.processId()).isEmpty());
            if (again) {
                QVERIFY(kelvane.terminate());
                break;
            }
            if (!firstRun) {
                QVERIFY(dragWithPointer(at + QPoint(20, 20), at + QPoint(100, 70)));
                QTRY_VERIFY((windowPosition(id) - at).manhattanLength() > 100);
                QTest::qWait(300); // the last motions reach the window manager
                at = windowPosition(id);
                twips = at * 15;
            }
            const auto clientMenu = [&] { clickAt(at + QPoint(20, 20), 3); };
            const auto trayMenu = [&] { clickTrayIcon(kelvane.processId(), 3); };
            if (road == "hidden") {
                QVERIFY(chooseFromMenu(kelvane.processId(), clientMenu, 2));
                QTRY_VERIFY(!isMapped(id));
            }
            if (road.endsWith("menu"))
                QVERIFY(chooseFromMenu(
                    kelvane.processId(),
                    road == "tray menu" ? std::function<void()>(trayMenu) : clientMenu, 1));
            else
                ::kill(pid_t(kelvane.processId()), signal);
            QVERIFY(kelvane.waitForFinished());
            QCOMPARE(kelvane.exitStatus(), QProcess::NormalExit);
            QCOMPARE(kelvane.exitCode(), 0);
            const QStringList lines = readLines(home.settingsFile());
            QCOMPARE(lines.size(), 31);
            QCOMPARE(lines.mid(6, 2), QStringList({QString("left= %1").arg(twips.x()),
                                                   QString("top= %1").arg(twips.y())}));
            QCOMPARE(lines[30], home.path()); // no documents folder: the home folder instead
            QCOMPARE(readLines(home.historyFile()),
                     deleteHistory ? QStringList() : QStringList{saved});
        }
    }

    // A killed copy's lock and socket stay: the next one starts anyway, from a folder without
    // res/. A later start ends at once and shows the running client, unless it is the login's
    // hidden start. Following: started by the user, the client stays until a browser window has
    // come and gone; then no browser window hides the client, one brings it back after a pause.
    // Hidden by following, minimised by the window manager or by "Hide Kelvane", a click on the
    // tray icon brings it back where it was; the first click ends following.
    void oneCopyFollowingAndTheTray() {
        TestHome home;
        writeFile(home.settingsFile(), previousRun({"alwaysontop=True", "left= 6000", "top= 4500",
                                                    "synchronizewithinternetexplorer=True"},
                                                   {home.path()}));
        const QByteArray settings = readBytes(home.settingsFile());
        KelvaneProcess killed(home);
        QVERIFY(!killed.startShown().isEmpty());
        killed.kill();
        QVERIFY(killed.waitForFinished());
        const QString copy = home.path() + "/bin/kelvane";
        QVERIFY(QDir().mkpath(home.path() + "/bin") && QFile::copy(kelvaneProgram(), copy));
        QVERIFY(QFileInfo(home.path() + "/.runtime/kelvane.socket").exists());
        KelvaneProcess running(home, copy);
        const QString id = running.startShown();
        QVERIFY2(!id.isEmpty(), "a stale lock stopped the start");
        run("xdotool", {"windowminimize", id});
        QTRY_VERIFY(!isMapped(id));
        QLocalSocket hostile; // garbage without a line end, and no end to it, changes nothing
        hostile.connectToServer(home.path() + "/.runtime/kelvane.socket");
        QVERIFY(hostile.waitForConnected());
        hostile.write(QByteArray(10000, 'x'));
        bool shown = false; // once a start by the user has shown it
        for (const QString& args : {"hidden", "", "hidden"}) {
            KelvaneProcess second(home); // ends at once: no window, nothing written
            second.start(args.isEmpty() ? QStringList() : QStringList{args});
            QVERIFY2(second.waitForFinished(5000), "the second copy did not end at once");
            QCOMPARE(second.exitCode(), 0);
            QVERIFY(
                run("xdotool", {"search", "--pid", QString::number(second.processId())}).isEmpty());
            shown = shown || args.isEmpty();
            if (shown)
                QTRY_VERIFY(isMapped(id));
            QTest::qWait(1000);
            QCOMPARE(isMapped(id), shown);
        }
        Browser browser;
        QVERIFY(browser.open());
        QTRY_VERIFY(
            !run("xdotool", {"search", "--pid", QString::number(browser.processId())}).isEmpty());
        QTest::qWait(500); // following sees it
        browser.close();
        QTRY_VERIFY(!isMapped(id));
        QElapsedTimer waited;
        waited.start();
        QVERIFY(browser.open());
        QTRY_VERIFY_WITH_TIMEOUT(isMapped(id), 10000);
        QVERIFY(waited.elapsed() >= 1100); // the pause
        browser.close();
        QTRY_VERIFY(!isMapped(id));

        const std::function<void()> hides[] = {
            [] {}, // by following
            [&] {
                run("xdotool", {"windowminimize", id});
            },
            [&] {
                QVERIFY(chooseFromMenu(
                    running.processId(), [&] { clickAt(QPoint(420, 320), 3); }, 2));
            }};
        for (const auto& hide : hides) {
            hide();
            QTRY_VERIFY(!isMapped(id));
            QVERIFY(clickTrayIcon(running.processId()));
            QTRY_VERIFY(isMapped(id));
            QTRY_COMPARE(windowPosition(id), QPoint(400, 300));
            QTest::qWait(1000); // following, ended, hides it no more
            QVERIFY(isMapped(id));
        }
        // A double-click on the idle picture shows the desktop: the other windows go, the
        // client comes back onto it.
        QVERIFY(browser.open());
        QString other;
        QTRY_VERIFY(!(other = run("xdotool", {"search", "--onlyvisible", "--pid",
                                              QString::number(browser.processId())})
                                  .trimmed())
                         .isEmpty());
        clickAt(QPoint(420, 350), 1, 2);
        QTRY_VERIFY(!isMapped(other));
        QTRY_VERIFY(isMapped(id));
        QCOMPARE(readBytes(home.settingsFile()), settings);
        QVERIFY(running.terminate());
        QVERIFY(readBytes(home.settingsFile()) != settings); // written at the end
        QCOMPARE(readLines(home.settingsFile()).size(), 31);
    }

    // Started hidden, as at login: one click on the tray icon shows the client, every time.
    void hiddenStartOneTrayClick() {
        TestHome home;
        writeFile(home.settingsFile(), previousRun({"clientsize=MED"}, {home.path()}));
        for (int round = 0; round < 20; ++round) {
            KelvaneProcess kelvane(home);
            kelvane.start({"hidden"});
            QTRY_VERIFY(!trayIconHost(kelvane.processId()).isEmpty());
            if (round == 0)
                QTest::qWait(4000); // past the hand-over too
            QVERIFY(clickTrayIcon(kelvane.processId()));
            QTRY_VERIFY2(!shownClient(kelvane.processId()).isEmpty(),
                         qPrintable(QString::number(round)));
            QVERIFY(kelvane.terminate());
        }
    }

    // On a session bus of the test's own, where a panel hosts status notifier items: the
    // panel's activation of the icon shows the client, its secondary activation (a middle
    // click) does as a double-click, its context menu is the tray menu. Notifications reach
    // the desktop's server.
    void statusNotifierTrayAndNotifications() {
        QProcess bus;
        bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        QVERIFY(bus.waitForReadyRead(10000));
        const QString address = QString::fromUtf8(bus.readLine()).trimmed();
        const auto stopBus = qScopeGuard([&] {
            bus.kill();
            bus.waitForFinished();
        });
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8()); // for kelvane, and for this process
        QDBusConnection panel = QDBusConnection::connectToBus(address, "panel");
        Watcher watcher;
        Notifications notifications;
        const auto all = QDBusConnection::ExportAllContents;
        QVERIFY(panel.registerObject("/StatusNotifierWatcher", &watcher, all) &&
                panel.registerService("org.kde.StatusNotifierWatcher"));
        QVERIFY(panel.registerObject("/org/freedesktop/Notifications", &notifications, all) &&
                panel.registerService("org.freedesktop.Notifications"));
        kelvane::desktopbus::notify("Kelvane", "Out of sight.");
        QTRY_COMPARE(notifications.shown, QStringList{"Kelvane: Out of sight."});

        TestHome home;
        writeFile(home.settingsFile(), previousRun({"clientsize=MED"}, {home.path()}));
        KelvaneProcess kelvane(home);
        kelvane.start({"hidden"});
        QTRY_COMPARE(watcher.items.size(), 1);
        QTest::qWait(4000); // past the hand-over
        const auto host = [&](const char* method) {
            panel.send(QDBusMessage::createMethodCall(watcher.items[0], "/StatusNotifierItem",
                                                      "org.kde.StatusNotifierItem", method)
                       << 0 << 0);
        };
        host("SecondaryActivate");
        QString id;
        QTRY_VERIFY(!(id = shownClient(kelvane.processId())).isEmpty());
        run("xdotool", {"windowminimize", id});
        QTRY_VERIFY(!isMapped(id));
        host("Activate");
        QTRY_VERIFY(isMapped(id));
        QVERIFY(chooseFromMenu(
            kelvane.processId(), [&] { host("ContextMenu"); }, 1)); // Exit
        QVERIFY(kelvane.waitForFinished());
        QCOMPARE(kelvane.exitCode(), 0);
    }

    // A first run writes a valid autostart entry that starts that very program hidden, whatever
    // its path. Its display lost (an X server of the test's own goes), it ends, its files kept.
    void firstRunAutostartAndTheDisplayLost() {
        QProcess x;
        x.start("Xvfb", {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"});
        QVERIFY(x.waitForReadyRead(10000));
        TestHome home;
        const QString program = home.path() + "/my \"odd\" $dir 100%/kelvane";
        QDir().mkpath(QFileInfo(program).absolutePath());
        QVERIFY(QFile::copy(kelvaneProgram(), program));
        KelvaneProcess first(home, program);
        QProcessEnvironment env = home.environment();
        env.insert("DISPLAY", ":" + QString::fromLatin1(x.readAllStandardOutput()).trimmed());
        first.setProcessEnvironment(env);
        first.start({"quiet"});
        const QString entry = home.path() + "/.config/autostart/kelvane.desktop";
        QTRY_VERIFY(QFile::exists(entry));
        QTest::qWait(5000); // past the hand-over
        QVERIFY(!QFile::exists(home.settingsFile()));
        x.terminate();
        QVERIFY(x.waitForFinished());
        QVERIFY(first.waitForFinished());
        QCOMPARE(readLines(home.settingsFile()).size(), 31);
        QVERIFY(QFile::exists(home.historyFile()));
        QCOMPARE(run("sh", {"-c", "desktop-file-validate \"$0\" >&2 && echo valid", entry}),
                 "valid\n");
        // Launched as the session would, it starts the copied program, hidden.
        run("gio", {"launch", entry}, home.environment());
        QString started; // "<pid> <program> hidden"
        QTRY_VERIFY(!(started = run("pgrep", {"-a", "-f", "kelvane hidden"})
                                    .split('\n')
                                    .filter(program + " hidden")
                                    .value(0))
                         .isEmpty());
        const QString proc = "/proc/" + started.section(' ', 0, 0);
        ::kill(pid_t(started.section(' ', 0, 0).toInt()), SIGTERM);
        QTRY_VERIFY(!QFile::exists(proc));
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
