// The real program on the real desktop: first run, a second copy, ending and the lock.
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

    void firstRunShowsTheDefaultWindowAndRecordsIt() {
        TestHome home;
        KelvaneProcess kelvane(home);
        kelvane.start();
        const QString id = kelvane.waitForMainWindow();
        QVERIFY2(!id.isEmpty(), "the main window did not appear");

        // 1280 x 1024 screen: centre (9600, 7680) twips; the window 100 twips right and up.
        const QString geometry = run("xdotool", {"getwindowgeometry", "--shell", id});
        QVERIFY2(geometry.contains("X=647") && geometry.contains("Y=505"), qPrintable(geometry));
        QVERIFY2(geometry.contains("WIDTH=73"), qPrintable(geometry)); // "MED": 1090 twips
        QTRY_VERIFY(netWmState(id).contains("_NET_WM_STATE_ABOVE"));

        QVERIFY(kelvane.terminate());
        QCOMPARE(kelvane.process().exitCode(), 0);
        const QStringList lines = readLines(home.settingsFile());
        QCOMPARE(lines.size(), 31);
        QCOMPARE(
            lines.mid(0, 9),
            QStringList({"alwaysontop=True", "clientsize=MED", "overwrite=False",
                         "showsavedimage=True", "firstuse=False", "windowsfolder=" + home.path(),
                         "left= 9700", "top= 7580", "playconfirmsound=True"}));
        // No documents folder in a fresh home: the home folder stands in for it.
        QCOMPARE(lines[30], home.path());
    }

    void secondCopyEndsWithoutWindowOrWrite() {
        TestHome home;
        KelvaneProcess first(home);
        first.start();
        QVERIFY(!first.waitForMainWindow().isEmpty());
        QVERIFY(first.terminate()); // leaves a settings file behind
        QVERIFY(QFileInfo(home.settingsFile()).size() > 0);

        KelvaneProcess running(home);
        running.start();
        QVERIFY(!running.waitForMainWindow().isEmpty());
        const QDateTime stamp = QFileInfo(home.settingsFile()).lastModified();

        KelvaneProcess second(home);
        second.start();
        QVERIFY2(second.waitForFinished(5000), "the second copy did not end at once");
        QCOMPARE(second.process().exitCode(), 0);
        const QString windows = run("xdotool", {"search", "--pid", QString::number(second.pid())});
        QVERIFY(windows.trimmed().isEmpty());
        QCOMPARE(QFileInfo(home.settingsFile()).lastModified(), stamp);
        QVERIFY(running.terminate());
    }

    void lockOfAKilledRunDoesNotStopTheNext() {
        TestHome home;
        KelvaneProcess killed(home);
        killed.start();
        QVERIFY(!killed.waitForMainWindow().isEmpty());
        ::kill(static_cast<pid_t>(killed.pid()), SIGKILL);
        QVERIFY(killed.waitForFinished());

        KelvaneProcess next(home);
        next.start();
        QVERIFY2(!next.waitForMainWindow().isEmpty(), "a stale lock stopped the start");
        QVERIFY(next.terminate());
    }

    void endingFromOutsideWritesEverything_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("deleteHistoryOnClose");
        QTest::newRow("SIGTERM") << int(SIGTERM) << false;
        QTest::newRow("SIGINT") << int(SIGINT) << false;
        QTest::newRow("SIGHUP, history deleted on close") << int(SIGHUP) << true;
    }

    void endingFromOutsideWritesEverything() {
        QFETCH(int, signal);
        QFETCH(bool, deleteHistoryOnClose);
        TestHome home;
        const QString saved = home.path() + QStringLiteral("/picture one.jpg");
        writeFile(saved, "not really a picture");
        writeFile(home.historyFile(), (saved + "\r\n").toUtf8());
        writeFile(home.settingsFile(),
                  settingsText({"alwaysontop=True", "clientsize=MED", "", "", "firstuse=False", "",
                                "left= 1500", "top= 1500", "", "", "",
                                deleteHistoryOnClose ? "deletehistoryonclose=True" : ""},
                               {home.path()}));

        KelvaneProcess kelvane(home);
        kelvane.start();
        QVERIFY(!kelvane.waitForMainWindow().isEmpty());
        QTRY_VERIFY(!run("xdotool", {"search", "--classname", "kelvane"}).isEmpty());
        ::kill(static_cast<pid_t>(kelvane.pid()), signal);
        QVERIFY(kelvane.waitForFinished());
        QCOMPARE(kelvane.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(kelvane.process().exitCode(), 0);
        QCOMPARE(readLines(home.settingsFile()).value(6), QStringLiteral("left= 1500"));
        QCOMPARE(QFile::exists(home.historyFile()), !deleteHistoryOnClose);
        if (!deleteHistoryOnClose)
            QCOMPARE(readLines(home.historyFile()), QStringList{saved});
    }

    void trayIconComesAndGoes() {
        TestHome home;
        KelvaneProcess kelvane(home);
        kelvane.start();
        QVERIFY(!kelvane.waitForMainWindow().isEmpty());
        // The tray host embeds the icon: a 22 x 22 window of ours inside the tray's window.
        QString host;
        QTRY_VERIFY_WITH_TIMEOUT(!(host = trayIconHost(kelvane.pid())).isEmpty(), 5000);
        const int withIcon = childCount(host);
        QVERIFY(withIcon >= 1);
        QVERIFY(kelvane.terminate());
        QTRY_VERIFY_WITH_TIMEOUT(childCount(host) == withIcon - 1, 5000);
    }

    void missingResourcesStopNothing() {
        // The program copied into a folder of its own, without res/ or pictures/.
        TestHome home;
        const QString program = home.path() + QStringLiteral("/bin/kelvane");
        QDir().mkpath(home.path() + QStringLiteral("/bin"));
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
