// On a Wayland session (weston, headless, with XWayland) the program picks X11 itself: its
// window shows on XWayland and it ends cleanly.
#include "DesktopTools.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace kelvane::test;

class TestWayland : public QObject {
    Q_OBJECT

    QTemporaryDir runtime_;
    QProcess weston_;
    QString display_; // XWayland's, ":N"

private Q_SLOTS:
    void initTestCase() {
        if (!onTestDesktop())
            QSKIP("needs the test desktop (scripts/test-desktop.sh)");
        if (QStandardPaths::findExecutable("weston").isEmpty() ||
            QStandardPaths::findExecutable("Xwayland").isEmpty())
            QSKIP("needs weston and Xwayland");
        QFile::setPermissions(runtime_.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime_.path());
        env.remove("DISPLAY");
        weston_.setProcessEnvironment(env);
        weston_.setProcessChannelMode(QProcess::MergedChannels);
        weston_.start("weston", {"--backend=headless-backend.so", "--xwayland",
                                 "--socket=wayland-kelvane", "--idle-time=0"});
        QVERIFY(weston_.waitForStarted());
        QByteArray log;
        QVERIFY(QTest::qWaitFor(
            [&] {
                log += weston_.readAll();
                display_ = QRegularExpression("listening on display (:\\d+)")
                               .match(QString::fromUtf8(log))
                               .captured(1);
                return !display_.isEmpty();
            },
            15000));
    }

    void cleanupTestCase() {
        weston_.terminate();
        if (!weston_.waitForFinished(5000))
            weston_.kill();
    }

    void runsThroughXWayland() {
        TestHome home;
        writeFile(home.settingsFile(), previousRun({"left= 1500", "top= 1500"}, {home.path()}));
        KelvaneProcess kelvane(home);
        QProcessEnvironment env = home.environment();
        env.remove("QT_QPA_PLATFORM"); // the program picks X11 itself
        env.insert("WAYLAND_DISPLAY", "wayland-kelvane");
        env.insert("XDG_SESSION_TYPE", "wayland");
        env.insert("DISPLAY", display_);
        env.insert("XDG_RUNTIME_DIR", runtime_.path());
        env.insert("QT_LOGGING_RULES", "qt.qpa.xdnd=true");
        kelvane.setProcessEnvironment(env);
        kelvane.start({"nosplash"});
        QString window;
        QVERIFY(QTest::qWaitFor(
            [&] {
                QProcess search;
                search.setProcessEnvironment(env);
                search.start("xdotool",
                             {"search", "--onlyvisible", "--pid",
                              QString::number(kelvane.processId()), "--name", "^Kelvane$"});
                search.waitForFinished();
                window = QString::fromUtf8(search.readAllStandardOutput()).section('\n', 0, 0);
                return !window.isEmpty() || kelvane.state() != QProcess::Running;
            },
            15000));
        QVERIFY2(!window.isEmpty(), "no window on XWayland");
        QVERIFY(kelvane.terminate());
        QCOMPARE(kelvane.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
