// The client on the real desktop: a real tray, hiding, the on-top band, following, autostart.
#include "DesktopTools.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "platform/PlatformFactory.h"
#include "settings/RunValue.h"

#include <QAction>

using namespace kelvane;
using namespace kelvane::test;

class TestDesktopLife : public QObject {
    Q_OBJECT

    std::unique_ptr<Platform> platform_;
    AppState state_;
    std::unique_ptr<frmMain> main_;

    QString id() const { return QString::number(main_->winId()); }
    bool shown() const { return main_->isVisible() && !main_->isMinimized(); }

private Q_SLOTS:
    void initTestCase() {
        if (!onTestDesktop())
            QSKIP("needs the test desktop (scripts/test-desktop.sh)");
        writeFile(QDir::homePath() + "/.config/kelvane/kelvane.dat",
                  previousRun({"alwaysontop=True", "left= 6000", "top= 4500",
                               "synchronizewithinternetexplorer=True"},
                              {QDir::homePath()}));
        platform_ = createPlatform();
        main_ = std::make_unique<frmMain>(*platform_, state_);
        QCOMPARE(main_->Form_Load(), frmMain::LoadResult::Running);
        main_->splash()->setSplashDuration(10);
        QTRY_VERIFY(!main_->splash()->isVisible());
    }

    // Following: no browser window hides the client, one brings it back after a pause, and back.
    void followsTheBrowser() {
        QTRY_VERIFY(!shown());
        QProcess browser;
        browser.start("xterm", {"-class", "Chromium", "-geometry", "20x4+900+700"});
        QVERIFY(browser.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        QTRY_VERIFY_WITH_TIMEOUT(shown(), 10000);
        QVERIFY(waited.elapsed() >= 1100); // the pause
        browser.kill();
        browser.waitForFinished();
        QTRY_VERIFY(!shown());
    }

    // Hidden by following, then by "Hide Kelvane": a real tray click shows it, ends following.
    void trayClickAndHideCommand() {
        for (bool byCommand : {false, true}) {
            if (byCommand)
                main_->menus().mnuHideMe->trigger();
            QTRY_VERIFY(!run("xwininfo", {"-id", id()}).contains("IsViewable"));
            QString icon;
            QTRY_VERIFY(!(icon = trayIconHost(QCoreApplication::applicationPid())).isEmpty());
            run("xdotool", {"mousemove", "--window", icon, "8", "8", "click", "1"});
            QTRY_VERIFY(shown() && run("xwininfo", {"-id", id()}).contains("IsViewable"));
            QVERIFY(!state_.bSynchronizeWithInternetExplorer);
        }
    }

    // While a secondary window is open, the client leaves the always-on-top band.
    void secondaryWindowSuspendsAlwaysOnTop() {
        QTRY_VERIFY(netWmState(id()).contains("_NET_WM_STATE_ABOVE"));
        auto* dialog = new QWidget;
        dialog->resize(200, 100);
        QVERIFY(main_->band().ShowDialog(dialog));
        QTRY_VERIFY(!netWmState(id()).contains("_NET_WM_STATE_ABOVE"));
        QVERIFY(!main_->menus().mnuAlwaysOnTop->isChecked() && state_.bAlwaysOnTop);
        dialog->close();
        QTRY_VERIFY(netWmState(id()).contains("_NET_WM_STATE_ABOVE"));
        QVERIFY(main_->menus().mnuAlwaysOnTop->isChecked());
        delete dialog;
    }

    // A first run's valid autostart entry starts that very program hidden, whatever its path.
    void autostartEntry() {
        TestHome home;
        const QString program = home.path() + "/my \"odd\" $dir/kelvane";
        QDir().mkpath(QFileInfo(program).absolutePath());
        QVERIFY(QFile::copy(kelvaneProgram(), program));
        KelvaneProcess first(home, program);
        first.start({"quiet"});
        const QString entry = home.path() + "/.config/autostart/kelvane.desktop";
        QTRY_VERIFY(QFile::exists(entry));
        QVERIFY(first.terminate());
        QProcess validate;
        validate.start("desktop-file-validate", {entry});
        QVERIFY(validate.waitForFinished());
        QVERIFY2(validate.exitCode() == 0, validate.readAll().constData());
        QProcess session; // launched as the session would, it starts the copied program, hidden
        session.setProcessEnvironment(home.environment());
        session.start("gio", {"launch", entry});
        QVERIFY(session.waitForFinished());
        QString started;
        QTRY_VERIFY(!(started = run("pgrep", {"-a", "-f", "kelvane hidden"})).isEmpty());
        QVERIFY2(started.contains(program + " hidden"), qPrintable(started));
        run("pkill", {"-f", "odd.*kelvane hidden"});
        // Turned off, the entry goes; a missing one is no failure (no message would do).
        QVERIFY(platform_->writeAutostartEntry("hidden"));
        const QString own = QDir::homePath() + "/.config/autostart/kelvane.desktop";
        QVERIFY(QFile::exists(own));
        DeleteRunValue(*platform_, nullptr);
        QVERIFY(!QFile::exists(own) && platform_->deleteAutostartEntry());
    }
};

QTEST_MAIN(TestDesktopLife)
#include "tst_desktoplife.moc"
