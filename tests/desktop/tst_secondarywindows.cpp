// The client's secondary windows on the real desktop: the history window docked and hidden
// with the client, its menu, an entry dragged into another program; the band while the
// options are open; About from the build; a missing help page.
#include "DesktopTools.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "history/frmHistory.h"
#include "platform/PlatformFactory.h"
#include "settings/frmOptions.h"
#include "ui/frmAbout.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QWindow>
#include <cstdio>

using namespace kelvane;
using namespace kelvane::test;

class TestSecondaryWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<Platform> platform_;
    AppState state_;
    std::unique_ptr<frmMain> main_;
    const QString home_ = QDir::homePath();
    QStringList saved_;

    frmHistory* history() const { return main_->history(); }
    QString id(const QWidget* w) const { return QString::number(w->winId()); }
    // Where the X server has a window's inside, and its frame's outer corner.
    static QPoint inside(const QString& window) {
        const QString info = run("xwininfo", {"-id", window});
        const auto value = [&](const char* key) {
            return info.section(key, 1).section('\n', 0, 0).trimmed().toInt();
        };
        return {value("Absolute upper-left X:"), value("Absolute upper-left Y:")};
    }
    static QPoint frameCorner(const QString& window) {
        const QStringList extents =
            run("xprop", {"-id", window, "_NET_FRAME_EXTENTS"}).section('=', 1).split(',');
        return inside(window) -
               QPoint(extents.value(0).trimmed().toInt(), extents.value(2).trimmed().toInt());
    }
    void waitUntilDocked() const { // the window manager may place a window anew as it maps it
        QTRY_COMPARE(frameCorner(id(history())), inside(id(main_.get())) - QPoint(133, 0));
    }
    QPoint onScreen(const QWidget* w, QPoint p) const {
        return inside(id(w->window())) + w->mapTo(w->window(), p);
    }
    QPoint entry(int row) const {
        const QListView* list = history()->List1;
        return onScreen(list->viewport(), list->visualRect(list->model()->index(row, 0)).center());
    }

private Q_SLOTS:
    void initTestCase() {
        if (!onTestDesktop())
            QSKIP("needs the test desktop (scripts/test-desktop.sh)");
        for (const char* name : {"one.png", "two.png"}) {
            QImage image(16, 16, QImage::Format_RGB32);
            image.fill(Qt::green);
            saved_ << home_ + "/Pictures/" + name;
            QVERIFY(QDir().mkpath(home_ + "/Pictures") && image.save(saved_.last(), "PNG"));
        }
        writeFile(home_ + "/.config/kelvane/history.dat", saved_.join("\r\n").toUtf8());
        writeFile(home_ + "/.config/kelvane/kelvane.dat",
                  previousRun({"alwaysontop=True", "showhistory=True", "left= 6000", "top= 4500"},
                              {home_ + "/Pictures"}));
        platform_ = createPlatform();
        main_ = std::make_unique<frmMain>(*platform_, state_);
        QCOMPARE(main_->Form_Load(), frmMain::LoadResult::Running);
        main_->splash()->setSplashDuration(10);
        QTRY_VERIFY(main_->isVisible() && !main_->splash()->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
        QTRY_VERIFY(history()->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(history()));
    }

    void cleanupTestCase() {
        if (main_) {
            main_->Form_Unload();
            delete main_->splash();
        }
    }

    // 2000 twips (133 px) left of the client, wherever the window manager puts the client;
    // hidden and shown with it.
    void docksAndHidesWithTheClient() {
        const QPoint client = inside(id(main_.get())); // frameless
        QTRY_COMPARE(frameCorner(id(history())), client - QPoint(133, 0));
        run("xdotool", {"windowmove", id(main_.get()), "500", "400"});
        QTRY_COMPARE(inside(id(main_.get())), QPoint(500, 400));
        QTRY_COMPARE(frameCorner(id(history())), QPoint(500 - 133, 400));
        main_->menus().mnuHideMe->trigger();
        QTRY_VERIFY(!history()->isVisible());
        QTRY_VERIFY(!run("xwininfo", {"-id", id(history())}).contains("IsViewable"));
        main_->menus().mnuTrayRestore->trigger();
        QTRY_VERIFY(run("xwininfo", {"-id", id(history())}).contains("IsViewable"));
        // Closed and opened again: the same entries, read again from the file.
        history()->close();
        QTRY_VERIFY(!run("xwininfo", {"-id", id(history())}).contains("IsViewable"));
        main_->menus().mnuHistory->trigger();
        QTRY_VERIFY(run("xwininfo", {"-id", id(history())}).contains("IsViewable"));
        QCOMPARE(main_->historyList().entries(), saved_);
        QCOMPARE(history()->List1->model()->rowCount(), 2);
    }

    // The right button where no entry is: the menu, its three items disabled.
    void menuWithoutSelection() {
        waitUntilDocked();
        history()->List1->clearSelection();
        const QWidget* viewport = history()->List1->viewport(); // below the two entries
        const QPoint below = onScreen(viewport, {4, viewport->height() - 3});
        pointerTo(below);
        run("xdotool", {"click", "3"});
        QTRY_VERIFY(history()->mnuFile->isVisible());
        for (QAction* item : history()->mnuFile->actions())
            QVERIFY(!item->isEnabled());
        run("xdotool", {"key", "Escape"});
        QTRY_VERIFY(!history()->mnuFile->isVisible());
    }

    // An entry dragged into another program arrives as its file's address, as a copy.
    void entryDraggedOut() {
        QProcess target;
        target.start(QCoreApplication::applicationFilePath(), {"--drop-target"});
        QVERIFY(QTest::qWaitFor([&] { return target.canReadLine(); }, 10000));
        QCOMPARE(target.readLine(), QByteArray("ready\n"));
        waitUntilDocked();
        QVERIFY(dragWithPointer(entry(1), QPoint(160, 660)));
        QVERIFY(QTest::qWaitFor([&] { return target.canReadLine(); }, 10000));
        QCOMPARE(QString::fromUtf8(target.readLine()).trimmed(),
                 "copy " + QUrl::fromLocalFile(saved_[1]).toString());
        QVERIFY(QFile::exists(saved_[1]));
        QCOMPARE(main_->historyList().entries(), saved_);
        target.kill();
        target.waitForFinished();
    }

    // The client leaves the band while "More Options" is open and comes back after OK.
    void optionsTakeTheClientOutOfTheBand() {
        const QString client = id(main_.get());
        QTRY_VERIFY(netWmState(client).contains("_NET_WM_STATE_ABOVE"));
        main_->menus().mnuMore->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(main_->options()));
        QTRY_VERIFY(!netWmState(client).contains("_NET_WM_STATE_ABOVE"));
        main_->options()->cmdOK->click();
        QTRY_VERIFY(netWmState(client).contains("_NET_WM_STATE_ABOVE"));
    }

    // The version of the build; a missing help page brings no message of the program's own.
    void aboutAndMissingHelp() {
        main_->menus().mnuAbout->trigger();
        QCOMPARE(main_->about()->Label8->text(), QString("1.1"));
        QCOMPARE(main_->about()->Label9->text(), QString("24"));
        main_->about()->close();
        const QString page = platform_->resourceFolder() + "/KelvaneHelp.html";
        QVERIFY(QFile::rename(page, page + ".away"));
        struct PutBack {
            QString page;
            ~PutBack() { QFile::rename(page + ".away", page); }
        } putBack{page};
        QStringList shown; // any dialog that opens is noted and closed
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                shown << modal->windowTitle();
                modal->close();
            }
        });
        watch.start(50);
        main_->menus().mnuContents->trigger();
        QTest::qWait(1500);
        QCOMPARE(shown, QStringList());
    }
};

// Drop target process: prints "ready" once placed, then what was offered and the address.
struct DropSink : QWidget {
    DropSink() { setAcceptDrops(true); }
    void dragEnterEvent(QDragEnterEvent* e) override { e->acceptProposedAction(); }
    void dragMoveEvent(QDragMoveEvent* e) override { e->acceptProposedAction(); }
    void dropEvent(QDropEvent* e) override {
        e->acceptProposedAction();
        // Offered as a copy and nothing else: no target can move the file away.
        std::printf("%s %s\n", e->possibleActions() == Qt::CopyAction ? "copy" : "more than a copy",
                    qPrintable(e->mimeData()->urls().value(0).toString()));
    }
};

int main(int argc, char** argv) {
    int programOnly = 1;
    QApplication app(programOnly, argv);
    if (argc == 2 && QByteArray(argv[1]) == "--drop-target") {
        DropSink target;
        return serveHelperWindow(target);
    }
    TestSecondaryWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_secondarywindows.moc"
