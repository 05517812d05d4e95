// The real program: its place after each road out, a second copy, the lock, the display lost.
#include "DesktopTools.h"

#include <csignal>

using namespace kelvane::test;

class TestStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        if (!onTestDesktop())
            QSKIP("needs the test desktop (scripts/test-desktop.sh)");
    }

    void oneCopyAtATime() {
        // A killed copy's lock stays: the next one starts anyway, from a folder without res/.
        TestHome home;
        writeFile(home.settingsFile(), previousRun({"clientsize=MED"}, {home.path()}));
        const QByteArray settings = readBytes(home.settingsFile());
        KelvaneProcess killed(home);
        killed.start();
        QVERIFY(!killed.waitForMainWindow().isEmpty());
        killed.kill();
        QVERIFY(killed.waitForFinished());
        const QString copy = home.path() + "/bin/kelvane";
        QVERIFY(QDir().mkpath(home.path() + "/bin") && QFile::copy(kelvaneProgram(), copy));
        KelvaneProcess running(home, copy);
        running.start();
        QVERIFY2(!running.waitForMainWindow().isEmpty(), "a stale lock stopped the start");
        KelvaneProcess second(home); // a second copy ends at once: no window, nothing written
        second.start();
        QVERIFY2(second.waitForFinished(5000), "the second copy did not end at once");
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(run("xdotool", {"search", "--pid", QString::number(second.processId())}).isEmpty());
        QCOMPARE(readBytes(home.settingsFile()), settings);
        QVERIFY(running.terminate());
        QCOMPARE(running.exitCode(), 0);
        QVERIFY(readBytes(home.settingsFile()) != settings); // written at the end
        QCOMPARE(readLines(home.settingsFile()).size(), 31);
    }

    // Each road out records where the window was dragged; the first run's place unrounded.
    void positionSurvivesEveryRoadOut_data() { // "Exit" from the client's menu, or a signal
        addRows({"Exit|", "SIGTERM|", "SIGINT|", "SIGHUP|history deleted", "SIGTERM|first run"});
    }
    void positionSurvivesEveryRoadOut() {
        QFETCH(QStringList, row);
        const QMap<QString, int> kills{
            {"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}, {"SIGHUP", SIGHUP}};
        const int road = kills.value(row[0]); // 0: "Exit"
        const bool firstRun = row[1] == "first run", deleteHistory = row[1] == "history deleted";
        QPoint at = firstRun ? QPoint(647, 505) : QPoint(400, 400);
        QPoint twips = firstRun ? QPoint(9700, 7580) : at * 15;
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
            kelvane.start();
            const QString id = kelvane.waitForMainWindow();
            QVERIFY2(!id.isEmpty(), "the main window did not appear");
            QTRY_COMPARE(windowPosition(id), at);
            QTRY_VERIFY(netWmState(id).contains("_NET_WM_STATE_ABOVE"));
            QTRY_VERIFY(!trayIconHost(kelvane.processId()).isEmpty()); // embedded in the tray
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
            if (road == 0) {
                // The client's menu pops up: its last item, "Exit Kelvane".
                const auto windows = [&] {
                    return run("xdotool", {"search", "--onlyvisible", "--pid",
                                           QString::number(kelvane.processId())});
                };
                const QString before = windows();
                pointerTo(at + QPoint(20, 20));
                run("xdotool", {"click", "3"});
                QTRY_VERIFY(windows().size() > before.size());
                run("xdotool", {"key", "Up", "Return"});
            } else {
                ::kill(static_cast<pid_t>(kelvane.processId()), road);
            }
            QVERIFY(kelvane.waitForFinished());
            QVERIFY(kelvane.exitStatus() == QProcess::NormalExit && kelvane.exitCode() == 0);
            const QStringList lines = readLines(home.settingsFile());
            QCOMPARE(lines.size(), 31);
            QCOMPARE(lines.mid(6, 2), QStringList({QString("left= %1").arg(twips.x()),
                                                   QString("top= %1").arg(twips.y())}));
            QCOMPARE(lines[30], home.path()); // no documents folder: the home folder instead
            QCOMPARE(readLines(home.historyFile()),
                     deleteHistory ? QStringList() : QStringList{saved});
        }
    }

    void lossOfTheDisplayKeepsTheFiles() {
        QProcess x; // an X server of this test's own, which goes away under a running Kelvane
        x.start("Xvfb", {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"});
        QVERIFY(x.waitForReadyRead(10000));
        TestHome home;
        KelvaneProcess kelvane(home);
        QProcessEnvironment env = home.environment();
        env.insert("DISPLAY", ":" + QString::fromLatin1(x.readAllStandardOutput()).trimmed());
        kelvane.setProcessEnvironment(env);
        kelvane.start();
        QTest::qWait(5000); // past the hand-over
        QVERIFY(!QFile::exists(home.settingsFile()));
        x.terminate();
        QVERIFY(x.waitForFinished());
        QVERIFY(kelvane.waitForFinished());
        QCOMPARE(readLines(home.settingsFile()).size(), 31);
        QVERIFY(QFile::exists(home.historyFile()));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
