// The client on the real desktop: another process's drops, taps, drags, double-clicks, on top.
#include "DesktopTools.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "platform/PlatformFactory.h"

#include <QAction>
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <QWindow>
#include <cstdio>

using namespace kelvane;
using namespace kelvane::test;

class TestClientWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<Platform> platform_;
    AppState state_;
    std::unique_ptr<frmMain> main_;
    const QString home_ = QDir::homePath();

    QString folder(int i) const { return home_ + QString("/folder %1").arg(i); }
    QLabel* picture() const { return main_->controls().Image1; }
    QPoint position() const { return windowPosition(QString::number(main_->winId())); }
    QPoint onScreen(const QWidget* w, QPoint p) const { // by the window manager's account
        return position() + w->mapTo(main_.get(), p);
    }
    QPoint centreOf(const QWidget* w) const { return onScreen(w, w->rect().center()); }
    void doubleClickAt(QPoint p) {
        pointerTo(p);
        run("xdotool", {"click", "--repeat", "2", "--delay", "40", "1"});
    }

private Q_SLOTS:
    void initTestCase() {
        if (!onTestDesktop())
            QSKIP("needs the test desktop (scripts/test-desktop.sh)");
        for (int slot : {0, 2, 3})
            QDir().mkpath(folder(slot));
        writeFile(home_ + "/.config/kelvane/kelvane.dat",
                  previousRun({"alwaysontop=True", "clientsize=LARGE", "showsavedimage=True",
                               "left= 6000", "top= 4500", "autoincrementsavedfiles=True"},
                              {folder(0), "", folder(2), folder(3)}));
        // The user's default application for pictures and folders records what it opens.
        writeFile(home_ + "/opener.sh",
                  "#!/bin/sh\nprintf '%s\\r\\n' \"$1\" >> \"$HOME/opened.txt\"\n");
        QFile::setPermissions(home_ + "/opener.sh", QFile::ReadOwner | QFile::ExeOwner);
        writeFile(home_ + "/.local/share/applications/opener.desktop",
                  ("[Desktop Entry]\nType=Application\nName=Opener\nExec=" + home_ +
                   "/opener.sh %f\nMimeType=image/png;inode/directory;\n")
                      .toUtf8());
        writeFile(home_ + "/.config/mimeapps.list",
                  "[Default Applications]\nimage/png=opener.desktop\n"
                  "inode/directory=opener.desktop\n");

        platform_ = createPlatform();
        main_ = std::make_unique<frmMain>(*platform_, state_);
        QCOMPARE(main_->Form_Load(), frmMain::LoadResult::Running);
        main_->splash()->setSplashDuration(10);
        QTRY_VERIFY(main_->isVisible() && !main_->splash()->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
        QTRY_COMPARE(position(), QPoint(400, 300));
        // Where the client takes itself to be: what its hover poll, drops and records go by.
        QTRY_COMPARE(main_->pos(), position());
        QCOMPARE(QPointF(state_.WindowLeft, state_.WindowTop), QPointF(position() * 15));
    }

    void cleanupTestCase() {
        if (main_) {
            main_->Form_Unload();
            delete main_->splash();
        }
    }

    void dropsFromAnotherProgram_data() { // "move": the source offers a move besides the copy
        addRows({"Image1|copy|Desktop/cat.jpg", "imgIcon(0)|copy|Desktop/cat (1).jpg",
                 "Text(2)|move|folder 2/cat.jpg"});
    }
    void dropsFromAnotherProgram() {
        QFETCH(QStringList, row);
        const QString target = row[0], savedAs = home_ + "/" + row[2];
        const QString file = home_ + "/cache/cat[1].jpg";
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(QDir().mkpath(home_ + "/cache") && image.save(file, "PNG"));
        QProcess source;
        source.start(QCoreApplication::applicationFilePath(), {"--drag-source", row[1], file});
        QVERIFY(QTest::qWaitFor([&] { return source.canReadLine(); }, 10000));
        QCOMPARE(source.readLine(), QByteArray("ready\n"));
        const QWidget* onto = main_->findChild<QWidget*>(target);
        // The picture away from the status icon, which lies over its top right corner.
        QVERIFY(dragWithPointer(QPoint(160, 660), onto == picture() ? onScreen(picture(), {20, 70})
                                                                    : centreOf(onto)));
        QVERIFY(QTest::qWaitFor([&] { return source.canReadLine(); }, 10000));
        QCOMPARE(source.readLine(), QByteArray("copy\n")); // a move is answered as a copy
        source.kill();
        QTRY_VERIFY(QFile::exists(savedAs));
        QVERIFY(QFile::exists(file));
        QCOMPARE(main_->historyList().entries().value(0), savedAs);
        source.waitForFinished();
    }

    void alwaysOnTopIsWhatTheWindowManagerSees() {
        const QString id = QString::number(main_->winId());
        QTRY_VERIFY(netWmState(id).contains("_NET_WM_STATE_ABOVE"));
        main_->menus().mnuAlwaysOnTop->trigger();
        QTRY_VERIFY(!netWmState(id).contains("_NET_WM_STATE_ABOVE"));
        main_->menus().mnuAlwaysOnTop->trigger();
        QTRY_VERIFY(netWmState(id).contains("_NET_WM_STATE_ABOVE"));
    }

    // Control | moves | xdotool commands (none: a drag); seen late, a drag still moves, no more.
    void pointerOnTheClient_data() {
        addRows({"Image1|0 0|mousedown 1 mouseup 1", "Text(3)|0 0|mousedown 1 mouseup 1",
                 "Image1|30 20|mousedown 1 mousemove_relative 30 20 mouseup 1", "Image1|80 50|",
                 "Text(3)|80 50|"});
    }
    void pointerOnTheClient() {
        QFETCH(QStringList, row);
        const QString control = row[0], gesture = row[2];
        const QPoint moves(row[1].section(' ', 0, 0).toInt(), row[1].section(' ', 1).toInt());
        const QPoint before = position();
        const QPoint at = onScreen(main_->findChild<QWidget*>(control), {20, 10});
        if (gesture.isEmpty()) {
            QVERIFY(dragWithPointer(at, at + moves));
            QTRY_VERIFY((position() - before).manhattanLength() > 100);
        } else {
            // At once, seen late by the busy client (as during a cue); the pointer wanders off.
            pointerTo(at);
            run("xdotool", gesture.split(' '));
            QTest::qWait(300);
            for (int step = 1; step <= 6; ++step)
                pointerTo(at + QPoint(12 * step, 7 * step));
        }
        QTest::qWait(500); // time for the window manager to act on the last motions
        QCOMPARE(position(), before + moves); // a drag keeps the spot pressed under the pointer
        run("xdotool", {"key", "Escape"});    // ends a move that goes on, the window put back
        QTRY_COMPARE(main_->pos(), position());
    }

    void doubleClicksOpenOrShowTheDesktop() {
        const QPoint before = position();
        const QString newest = main_->historyList().entries().value(0);
        main_->Timer2.stop(); // the saved picture stays in the client
        main_->ShowImageInClient(newest);
        const QString opened = home_ + "/opened.txt";
        QFile::remove(opened);
        doubleClickAt(onScreen(picture(), {20, 70}));
        QTRY_COMPARE_WITH_TIMEOUT(readLines(opened), QStringList{newest}, 10000);
        doubleClickAt(centreOf(main_->controls().Text[2]));
        QTRY_COMPARE_WITH_TIMEOUT(readLines(opened), QStringList({newest, folder(2)}), 10000);
        QCOMPARE(position(), before);
        main_->Timer2.start(1); // on the background picture: the desktop
        QTRY_VERIFY(main_->showsBackground());
        doubleClickAt(onScreen(picture(), {20, 70}));
        QTRY_VERIFY(run("xprop", {"-root", "_NET_SHOWING_DESKTOP"}).contains("= 1"));
        run("wmctrl", {"-k", "off"});
    }
};

// Drag source process: its press drags one file; prints "ready" once placed, then the action.
struct DragSource : QWidget {
    Qt::DropActions offer;
    QString file;
    void mousePressEvent(QMouseEvent*) override {
        auto* drag = new QDrag(this);
        drag->setMimeData(new QMimeData);
        drag->mimeData()->setUrls({QUrl::fromLocalFile(file)});
        const Qt::DropAction done =
            drag->exec(offer, offer & Qt::MoveAction ? Qt::MoveAction : Qt::CopyAction);
        std::printf("%s\n", done == Qt::CopyAction ? "copy" : "not a copy");
    }
};

int main(int argc, char** argv) {
    // Without the test's arguments, the client starts as from the menu (splash, greeting).
    int programOnly = 1;
    QApplication app(programOnly, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--drag-source") {
        DragSource source;
        source.offer =
            QByteArray(argv[2]) == "move" ? Qt::MoveAction | Qt::CopyAction : Qt::CopyAction;
        source.file = QString::fromLocal8Bit(argv[3]);
        return serveHelperWindow(source);
    }
    TestClientWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_clientwindow.moc"
