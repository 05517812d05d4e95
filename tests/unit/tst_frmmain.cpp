// Start-up, hand-over and shut-down of the client window against the fake platform.
#include "TestFiles.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "platform/fake/FakePlatform.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace kelvane;
using namespace kelvane::test;

class TestFrmMain : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<FakePlatform> platform_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<frmMain> main_;

    QString settingsPath() const { return dir_.path() + QStringLiteral("/state/kelvane.dat"); }
    QString historyPath() const { return dir_.path() + QStringLiteral("/state/history.dat"); }
    QString documents() const { return dir_.path() + QStringLiteral("/Documents"); }

    void writeSettings(const QStringList& lines, const QStringList& folders) {
        writeFile(settingsPath(), settingsText(lines, folders));
    }

    frmMain& load() {
        main_ = std::make_unique<frmMain>(*platform_, *state_);
        main_->Form_Load();
        return *main_;
    }

private Q_SLOTS:
    void init() {
        QVERIFY(dir_.isValid());
        QDir(dir_.path()).removeRecursively();
        QDir().mkpath(documents());
        QDir().mkpath(dir_.path() + QStringLiteral("/home/Desktop"));
        platform_ = std::make_unique<FakePlatform>();
        platform_->state = dir_.path() + QStringLiteral("/state");
        platform_->resources = dir_.path() + QStringLiteral("/share");
        platform_->home = dir_.path() + QStringLiteral("/home");
        platform_->specialFolders[Platform::SpecialFolder::Documents] = documents();
        platform_->specialFolders[Platform::SpecialFolder::Desktop] =
            dir_.path() + QStringLiteral("/home/Desktop");
        platform_->screen = QSize(1280, 1024);
        state_ = std::make_unique<AppState>();
    }

    void cleanup() { main_.reset(); }

    // Every menu as the user sees it: captions, separators ("-"), ticks ("[x] ") and
    // submenus ("{" ... "}").
    void menusAsDesigned() {
        frmMain window(*platform_, *state_);
        const std::function<QStringList(const QMenu*)> walk = [&](const QMenu* menu) {
            QStringList items;
            for (QAction* a : menu->actions()) {
                items << (a->isSeparator() ? "-" : (a->isChecked() ? "[x] " : "") + a->text());
                if (a->menu())
                    items << "{" << walk(a->menu()) << "}";
            }
            return items;
        };
        const MainMenus& m = window.menus();
        QCOMPARE(m.mnuFile->title() + m.mnuFolders->title() + m.mnuTrayMenu->title(),
                 QStringLiteral("&FileFoldersTray Menu"));
        QCOMPARE(
            walk(m.mnuFile) + walk(m.mnuFolders) + walk(m.mnuTrayMenu),
            QStringList({"[x] Always On Top", "Show History...", "Options", "{", "Effects", "{",
                         "[x] Play Confirmation Sound", "[x] Show Saved Image in Client", "}",
                         "Window Size", "{", "Small", "Normal", "Large", "}", "More...", "}",
                         "Add Folder to Desktop...", "Add Folder to List...", "Clear History",
                         "Help", "{", "Contents...", "-", "Open Kelvane Homepage...", "-",
                         "About Kelvane...", "}", "-", "Hide Kelvane", "-", "Exit Kelvane",
                         // Folders, then the tray menu.
                         "Add Folder to List...", "Delete Folder From List", "Show Kelvane",
                         "Exit Kelvane"}));
    }

    void firstRunAppliesDefaults() {
        frmMain& w = load();
        QVERIFY(state_->bFirstUse);
        QCOMPARE(state_->sClientSize, QStringLiteral("MED"));
        QVERIFY(w.menus().mnuNormal->isChecked());
        QVERIFY(!w.menus().mnuSmall->isChecked() && !w.menus().mnuLarge->isChecked());
        // Top-left corner 100 twips right of and above the centre of a 1280 x 1024 screen.
        QCOMPARE(state_->WindowLeft, 1280 * 15 / 2 + 100.0);
        QCOMPARE(state_->WindowTop, 1024 * 15 / 2 - 100.0);
        for (bool flag :
             {state_->bAlwaysOnTop, state_->bPlayConfirmSound, state_->bShowSavedImage,
              state_->bShowSaveErrorMessage, state_->bAlwaysPromptFileDelete,
              state_->bAutoIncrementSavedFiles, state_->bCorrectQueryStringNames,
              state_->bLoadAppWhenComputerStarts, state_->bSynchronizeWithInternetExplorer})
            QVERIFY(flag);
        QVERIFY(!state_->bShowHistory && !state_->bDeleteHistoryOnClose);
        QVERIFY(w.menus().mnuAlwaysOnTop->isChecked());
        QVERIFY(w.Timer5.isActive());
        QCOMPARE(w.FolderList().slot(0), documents());
        QCOMPARE(state_->sWindowsFolder, platform_->home);
        QCOMPARE(state_->sDesktopFolder, platform_->home + QStringLiteral("/Desktop"));
        QVERIFY(platform_->trayShown);
        QCOMPARE(platform_->topmost.value(&w), true);
        QVERIFY(platform_->messageBoxes.isEmpty());
        QVERIFY(!QFile::exists(settingsPath())); // nothing is written before the end
    }

    void timersAfterStartUp() {
        // A previous run without browser following: Timer5 stays off.
        writeSettings({"alwaysontop=False", "clientsize=MED", "overwrite=False",
                       "showsavedimage=True", "firstuse=False"},
                      {documents()});
        frmMain& w = load();
        const struct {
            const QTimer& timer;
            int interval;
            bool active;
        } rows[] = {{w.Timer1, 9999, true},
                    {w.Timer2, 9999, false},
                    {w.Timer3, 120, true},
                    {w.Timer4, 1000, false},
                    {w.Timer5, 140, false}};
        for (const auto& r : rows) {
            QVERIFY2(r.timer.interval() == r.interval, qPrintable(r.timer.objectName()));
            QVERIFY2(r.timer.isActive() == r.active, qPrintable(r.timer.objectName()));
        }
    }

    void previousRunKeepsItsSettings() {
        writeSettings({"alwaysontop=False", "clientsize=large", "overwrite=False",
                       "showsavedimage=False", "firstuse=False", "windowsfolder=", "left= 1500",
                       "top= 3000", "playconfirmsound=False"},
                      {documents(), QString(), documents() + "/x"});
        QDir().mkpath(documents() + "/x");
        frmMain& w = load();
        QVERIFY(!state_->bFirstUse);
        QCOMPARE(state_->sClientSize, QStringLiteral("LARGE"));
        QVERIFY(w.menus().mnuLarge->isChecked());
        QVERIFY(!w.menus().mnuAlwaysOnTop->isChecked());
        QVERIFY(!w.menus().mnuPlayConfirmationSound->isChecked());
        QVERIFY(!w.menus().mnuShowSavedIMageInClient->isChecked());
        QCOMPARE(w.pos(), QPoint(100, 200));
        QCOMPARE(w.FolderList().slot(2), documents() + "/x");
        QCOMPARE(platform_->topmost.value(&w), false);
    }

    void unknownSizeWordChecksNoSizeItem() {
        writeSettings({"alwaysontop=True", "clientsize=HUGE", "", "", "firstuse=False"},
                      {documents()});
        frmMain& w = load();
        QVERIFY(!w.menus().mnuSmall->isChecked());
        QVERIFY(!w.menus().mnuNormal->isChecked());
        QVERIFY(!w.menus().mnuLarge->isChecked());
    }

    void secondInstanceEndsAtOnce() {
        platform_->otherInstance = true;
        main_ = std::make_unique<frmMain>(*platform_, *state_);
        QCOMPARE(main_->Form_Load(), frmMain::LoadResult::AnotherInstance);
        QCOMPARE(platform_->calls, QStringList{"anotherInstanceRunning"});
        QVERIFY(!main_->isVisible());
        QVERIFY(!QFile::exists(platform_->state));
    }

    void commandLineDecidesSplashAndHiding_data() {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<bool>("splashShown");
        QTest::addColumn<bool>("minimized");
        QTest::addColumn<bool>("hello");
        QTest::newRow("none") << "" << true << false << true;
        QTest::newRow("hidden") << "hidden" << false << true << false;
        QTest::newRow("HIDDEN") << "HIDDEN" << false << false << false;
    }

    void commandLineDecidesSplashAndHiding() {
        QFETCH(QString, commandLine);
        QFETCH(bool, splashShown);
        QFETCH(bool, minimized);
        QFETCH(bool, hello);
        platform_->commandLineText = commandLine;
        frmMain& w = load();
        QVERIFY(w.splash());
        QCOMPARE(w.splash()->isVisible(), splashShown);
        QVERIFY(!w.isVisible());
        QVERIFY(!w.isEnabled());
        QVERIFY(state_->bStartupInProgress);

        w.splash()->setSplashDuration(10);
        QTRY_VERIFY(!state_->bStartupInProgress);
        QVERIFY(w.isEnabled());
        QCOMPARE(w.isVisible(), !minimized);
        QCOMPARE(bool(w.windowState() & Qt::WindowMinimized), minimized);
        const QString helloCue = platform_->resources + QStringLiteral("/res/hello.wav");
        QCOMPARE(platform_->soundsPlayed.contains(helloCue), hello);
    }

    void exitWritesSettingsAndHistory_data() {
        QTest::addColumn<bool>("deleteHistoryOnClose");
        QTest::newRow("history kept") << false;
        QTest::newRow("history deleted") << true;
    }

    void exitWritesSettingsAndHistory() {
        QFETCH(bool, deleteHistoryOnClose);
        const QString saved = documents() + QStringLiteral("/cat.jpg");
        writeFile(saved, "");
        writeFile(historyPath(), (saved + QStringLiteral("\r\n")).toUtf8());
        frmMain& w = load();
        state_->bDeleteHistoryOnClose = deleteHistoryOnClose;
        platform_->calls.clear();
        w.mnuExit_Click();

        // The farewell cue plays first, then the window goes out of the topmost band and the
        // tray icon is removed.
        QCOMPARE(platform_->calls.value(0), QStringLiteral("sound: ") + platform_->resources +
                                                QStringLiteral("/res/byebye.wav"));
        QVERIFY(platform_->calls.contains(QStringLiteral("setTopmost: off")));
        QVERIFY(platform_->calls.contains(QStringLiteral("removeTrayIcon")));
        QVERIFY(!platform_->trayShown);
        QCOMPARE(QFile::exists(historyPath()), !deleteHistoryOnClose);
        if (!deleteHistoryOnClose)
            QCOMPARE(readLines(historyPath()), QStringList{saved});

        const QStringList settings = readLines(settingsPath());
        QCOMPARE(settings.size(), 31);
        QCOMPARE(settings[0], QStringLiteral("alwaysontop=True")); // suspended, still recorded
        QCOMPARE(settings[1], QStringLiteral("clientsize=MED"));
        QCOMPARE(settings[4], QStringLiteral("firstuse=False"));
        QCOMPARE(settings[6], QStringLiteral("left= 9700"));
        QCOMPARE(settings[7], QStringLiteral("top= 7580"));
        QCOMPARE(settings[30], documents());
        QVERIFY(!w.menus().mnuAlwaysOnTop->isChecked());

        // A second unload (say, the window closing afterwards) changes nothing.
        const int callCount = platform_->calls.size();
        w.Form_Unload();
        QCOMPARE(platform_->calls.size(), callCount);
    }

    void endingFromOutsideRunsTheUnload() {
        frmMain& w = load();
        QVERIFY(platform_->terminationHandler);
        platform_->terminationHandler();
        QVERIFY(w.hasEnded());
        QVERIFY(QFile::exists(settingsPath()));
        QVERIFY(!platform_->trayShown);
        // Without the farewell cue: the system asked, not the user.
        QVERIFY(!platform_->soundsPlayed.join(',').contains(QLatin1String("byebye")));
    }

    void endingFromOutsideAsksNothing() {
        // Nothing can be written (a file stands where the state folder should be), and
        // still no message box waits for a user who is logging out.
        frmMain& w = load();
        QDir(platform_->state).removeRecursively();
        QFile(platform_->state).open(QIODevice::WriteOnly);
        platform_->messageBoxes.clear();
        platform_->terminationHandler();
        QVERIFY(w.hasEnded());
        QVERIFY(platform_->messageBoxes.isEmpty());
    }

    void abruptExitKeepsTheFiles() {
        load();
        QVERIFY(platform_->abruptExitHandler);
        platform_->abruptExitHandler();
        QCOMPARE(readLines(settingsPath()).size(), 31);
        QVERIFY(QFile::exists(historyPath()));
    }

    void handOverWaitsForTheStartUp() {
        // The splash timer falls due while a start-up message is still open: the client is
        // handed over only once the start-up has ended, and greets after that message.
        writeSettings({"alwaysontop=False", "clientsize=MED", "", "", "firstuse=False"},
                      {documents(), dir_.path() + "/gone"});
        bool shownDuringMessage = true;
        platform_->whileMessageBoxOpen = [&](const FakePlatform::MessageBoxCall&) {
            main_->splash()->setSplashDuration(1);
            QTest::qWait(50);
            shownDuringMessage = main_->isVisible();
        };
        frmMain& w = load();
        QVERIFY(!shownDuringMessage);
        QTRY_VERIFY(!state_->bStartupInProgress);
        QVERIFY(w.isVisible() && w.isEnabled());
        const int message = platform_->calls.indexOf(
            QRegularExpression(QStringLiteral("^messageBox: Kelvane: The folder .*")));
        const int hello =
            platform_->calls.indexOf(QRegularExpression(QStringLiteral(".*hello.wav$")));
        QVERIFY(message >= 0 && hello > message);
    }

    void playConfirmationSoundToggles() {
        frmMain& w = load();
        QAction* item = w.menus().mnuPlayConfirmationSound;
        const QString click = platform_->resources + QStringLiteral("/res/click.wav");
        for (bool expected : {false, true}) {
            platform_->soundsPlayed.clear();
            item->trigger();
            QCOMPARE(platform_->soundsPlayed, QStringList{click});
            QCOMPARE(state_->bPlayConfirmSound, expected);
            QCOMPARE(item->isChecked(), expected);
        }
    }

    void vanishedFoldersAtStartUpBringTheDefaultsBack() {
        writeSettings({"alwaysontop=False", "clientsize=SMALL", "", "", "firstuse=False"},
                      {dir_.path() + "/gone1", QString(), dir_.path() + "/gone2"});
        frmMain& w = load();
        QCOMPARE(platform_->messageBoxes.size(), 2);
        QVERIFY(
            platform_->messageBoxes[0].text.startsWith("The folder " + dir_.path() + "/gone1 "));
        QVERIFY(
            platform_->messageBoxes[1].text.startsWith("The folder " + dir_.path() + "/gone2 "));
        QCOMPARE(w.FolderList().slot(0), documents());
        QVERIFY(state_->bAlwaysOnTop);
    }
    void oddFolderLinesAtStartUp() {
        // Relative paths, a 100 KB line and a file instead of a folder: the program starts,
        // lays out, and keeps only what exists (a file counts as present).
        const QString file = dir_.path() + "/a-file.txt";
        writeFile(file, "");
        writeSettings(
            {"alwaysontop=False", "clientsize=MED", "", "", "firstuse=False"},
            {"relative/folder", QString(100 * 1024, 'x'), file, documents(), "\x01\x02 garbage"});
        frmMain& w = load();
        QCOMPARE(platform_->messageBoxes.size(), 3);
        QCOMPARE(w.FolderList().slot(2), file);
        QCOMPARE(w.FolderList().slot(3), documents());
        QVERIFY(w.FolderList().slot(0).isEmpty() && w.FolderList().slot(1).isEmpty());
        QCOMPARE(w.height(), 73 + 2 * 16);
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
