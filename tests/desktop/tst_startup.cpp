// The real program on the real desktop: where its window comes back after each way out, a
// second copy, the lock, missing resources and the loss of the display.
#include "DesktopTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
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
        // A copy killed halfway leaves its lock behind: the next one starts all the same.
        TestHome home;
        KelvaneProcess killed(home);
        killed.start();
        QVERIFY(!killed.waitForMainWindow().isEmpty());
        ::kill(static_cast<pid_t>(killed.pid()), SIGKILL);
        QVERIFY(killed.waitForFinished());
        writeFile(home.settingsFile(), previousRun({"clientsize=MED"}, {home.path()}));
        const QByteArray settings = readBytes(home.settingsFile());
        KelvaneProcess running(home);
        running.start();
        QVERIFY2(!running.waitForMainWindow().isEmpty(), "a stale lock stopped the start");
        // A second copy ends at once: no window, nothing written.
        KelvaneProcess second(home);
        second.start();
        QVERIFY2(second.waitForFinished(5000), "the second copy did not end at once");
        QCOMPARE(second.process().exitCode(), 0);
        QVERIFY(run("xdotool", {"search", "--pid", QString::number(second.pid())}).isEmpty());
        QCOMPARE(readBytes(home.settingsFile()), settings);
        QVERIFY(running.terminate());
    }

    void positionSurvivesEveryRoadOut_data() {
        QTest::addColumn<QString>("road"); // "Exit" from the client's menu, or a signal
        QTest::addColumn<bool>("firstRun");
        QTest::addColumn<bool>("moved"); // the user drags the window first
        QTest::addColumn<bool>("deleteHistory");
        QTest::newRow("Exit") << "Exit" << false << false << false;
        QTest::newRow("SIGTERM") << "SIGTERM" << false << false << false;
        QTest::newRow("SIGINT") << "SIGINT" << false << false << false;
        QTest::newRow("SIGHUP, history deleted") << "SIGHUP" << false << false << true;
        QTest::newRow("first run") << "SIGTERM" << true << false << false;
        QTest::newRow("moved, Exit") << "Exit" << false << true << false;
        QTest::newRow("moved, SIGTERM") << "SIGTERM" << false << true << false;
    }

    void positionSurvivesEveryRoadOut() {
        QFETCH(QString, road);
        QFETCH(bool, firstRun);
        QFETCH(bool, moved);
        QFETCH(bool, deleteHistory);
        // The first run: 100 twips right of and above the centre of the 1280 x 1024 screen.
        QPoint at = firstRun ? QPoint(647, 505) : QPoint(400, 400);
        QPoint twips = firstRun ? QPoint(9700, 7580) : at * 15;
        TestHome home;
        const QString saved = home.path() + "/picture one.jpg";
        writeFile(saved, "not really a picture");
        writeFile(home.historyFile(), (saved + "\r\n").toUtf8());
        QStringList values{"alwaysontop=True", "clientsize=MED", "left= 6000", "top= 6000"};
        if (deleteHistory)
            values << "deletehistoryonclose=True";
        if (!firstRun)
            writeFile(home.settingsFile(), previousRun(values, {home.path()}));
        for (const bool again : {false, true}) {
            KelvaneProcess kelvane(home);
            kelvane.start();
            const QString id = kelvane.waitForMainWindow();
            QVERIFY2(!id.isEmpty(), "the main window did not appear");
            QTRY_COMPARE(windowPosition(id), at);
            QTRY_VERIFY(netWmState(id).contains("_NET_WM_STATE_ABOVE"));
            QTRY_VERIFY(!trayIconHost(kelvane.pid()).isEmpty()); // embedded in the tray
            if (again) {
                QVERIFY(kelvane.terminate());
                break;
            }
            if (moved) {
                QVERIFY(dragWithPointer(at + QPoint(20, 20), at + QPoint(100, 70)));
                QTRY_VERIFY((windowPosition(id) - at).manhattanLength() > 100);
                QTest::qWait(300); // the last motions reach the window manager
                at = windowPosition(id);
                twips = at * 15;
            }
            if (road == "Exit") {
                // The client's menu pops up: its last item, "Exit Kelvane".
                const auto windows = [&] {
                    return run("xdotool", {"search", "--onlyvisible", "--pid",
                                           QString::number(kelvane.pid())});
                };
                const QString before = windows();
                pointerTo(at + QPoint(20, 20));
                run("xdotool", {"click", "3"});
                QTRY_VERIFY(windows().size() > before.size());
                run("xdotool", {"key", "Up", "Return"});
            } else {
                ::kill(static_cast<pid_t>(kelvane.pid()), road == "SIGTERM"  ? SIGTERM
                                                          : road == "SIGINT" ? SIGINT
                                                                             : SIGHUP);
            }
            QVERIFY(kelvane.waitForFinished());
            QCOMPARE(kelvane.process().exitStatus(), QProcess::NormalExit);
            QCOMPARE(kelvane.process().exitCode(), 0);
            const QStringList lines = readLines(home.settingsFile());
            QCOMPARE(lines.size(), 31);
            QCOMPARE(lines.mid(6, 2), QStringList({QString("left= %1").arg(twips.x()),
                                                   QString("top= %1").arg(twips.y())}));
            QCOMPARE(lines[30], home.path()); // no documents folder: the home folder instead
            QCOMPARE(readLines(home.historyFile()),
                     deleteHistory ? QStringList() : QStringList{saved});
        }
    }

    void missingResourcesStopNothing() {
        // The program copied into a folder of its own, without res/ or pictures/.
        TestHome home;
        const QString program = home.path() + "/bin/kelvane";
        QDir().mkpath(home.path() + "/bin");
        QVERIFY(QFile::copy(kelvaneProgram(), program));
        KelvaneProcess kelvane(home, program);
        kelvane.start();
        QVERIFY(!kelvane.waitForMainWindow().isEmpty());
        QVERIFY(kelvane.terminate());
        QCOMPARE(kelvane.process().exitCode(), 0);
        QCOMPARE(readLines(home.settingsFile()).size(), 31);
    }

    void lossOfTheDisplayKeepsTheFiles() {
        // An X server of this test's own, which goes away under a running Kelvane.
        QProcess x;
        x.setProcessChannelMode(QProcess::SeparateChannels);
        x.start("Xvfb", {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"});
        QVERIFY(x.waitForReadyRead(10000));
        const QString display = ":" + QString::fromLatin1(x.readAllStandardOutput()).trimmed();
        TestHome home;
        KelvaneProcess kelvane(home);
        QProcessEnvironment env = home.environment();
        env.insert("DISPLAY", display);
        kelvane.process().setProcessEnvironment(env);
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
