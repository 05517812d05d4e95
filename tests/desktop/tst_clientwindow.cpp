// The client window with the real platform on the real desktop: drops from another process,
// the labels under the real pointer, taps, drags and double-clicks, the always-on-top band.
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
#include <QMouseEvent>
#include <QTest>
#include <QUrl>
#include <QWindow>
#include <cstdio>

using namespace kelvane;
using namespace kelvane::test;

namespace {

QString home() {
    return QDir::homePath();
}

} // namespace

class TestClientWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<Platform> platform_;
    AppState state_;
    std::unique_ptr<frmMain> main_;

    QString folder(int i) const { return home() + QStringLiteral("/folder %1").arg(i); }
    QLineEdit* label(int i) const { return main_->controls().Text[i]; }
    QLabel* picture() const { return main_->controls().Image1; }
    QPoint position() const { return windowPosition(QString::number(main_->winId())); }
    // Where a point of a control is on the screen, by the window manager's account.
    QPoint onScreen(const QWidget* w, QPoint p) const {
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
        writeFile(home() + "/.config/kelvane/kelvane.dat",
                  previousRun({"alwaysontop=True", "clientsize=LARGE", "showsavedimage=True",
                               "left= 6000", "top= 4500", "autoincrementsavedfiles=True"},
                              {folder(0), "", folder(2), folder(3)}));
        // The user's default application for pictures and folders records what it opens.
        writeFile(home() + "/opener.sh",
                  "#!/bin/sh\nprintf '%s\\r\\n' \"$1\" >> \"$HOME/opened.txt\"\n");
        QFile::setPermissions(home() + "/opener.sh", QFile::ReadOwner | QFile::ExeOwner);
        writeFile(home() + "/.local/share/applications/opener.desktop",
                  ("[Desktop Entry]\nType=Application\nName=Opener\nExec=" + home() +
                   "/opener.sh %f\nMimeType=image/png;inode/directory;\n")
                      .toUtf8());
        writeFile(home() + "/.config/mimeapps.list",
                  "[Default Applications]\nimage/png=opener.desktop\n"
                  "inode/directory=opener.desktop\n");

        platform_ = createPlatform();
        main_ = std::make_unique<frmMain>(*platform_, state_);
        QCOMPARE(main_->Form_Load(), frmMain::LoadResult::Running);
        main_->splash()->setSplashDuration(10);
        QTRY_VERIFY(main_->isVisible() && !main_->splash()->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
        QTRY_COMPARE(position(), QPoint(400, 300));
    }

    void cleanupTestCase() {
        if (main_) {
            main_->Form_Unload();
            delete main_->splash();
        }
        main_.reset();
    }

    void clientKnowsWhereItIs() {
        // What it records on the way out, and what its hover poll and drops go by.
        QTRY_COMPARE(main_->pos(), position());
        QCOMPARE(QPointF(state_.WindowLeft, state_.WindowTop), QPointF(position() * 15));
    }

    void dropsFromAnotherProgram_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("action"); // what the source offers
        QTest::addColumn<QString>("savedAs");
        QTest::newRow("picture") << "Image1"
                                 << "copy" << home() + "/Desktop/cat.jpg";
        QTest::newRow("status icon") << "imgIcon(0)"
                                     << "copy" << home() + "/Desktop/cat (1).jpg";
        QTest::newRow("label, offered as a move") << "Text(2)"
                                                  << "move" << folder(2) + "/cat.jpg";
    }

    void dropsFromAnotherProgram() {
        QFETCH(QString, target);
        QFETCH(QString, action);
        QFETCH(QString, savedAs);
        const QString file = home() + "/cache/cat[1].jpg";
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(QDir().mkpath(home() + "/cache") && image.save(file, "PNG"));
        QProcess source;
        source.start(QCoreApplication::applicationFilePath(), {"--drag-source", action, file});
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
        QCOMPARE(readLines(home() + "/.config/kelvane/history.dat").value(0), savedAs);
        QCOMPARE(main_->controls().imgIcon[1]->toolTip(),
                 " This image was saved to \"" + savedAs + "\" ");
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

    void pointerOnTheClient_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("gesture"); // xdotool commands; none: a drag, the button held
        QTest::addColumn<QPoint>("moves");
        const QString tap = "mousedown 1 mouseup 1";
        QTest::newRow("tap on the picture") << "Image1" << tap << QPoint();
        QTest::newRow("tap on a label") << "Text(3)" << tap << QPoint();
        // Seen late, a drag still moves the window by its own length, then the window stays.
        QTest::newRow("drag over before the client looks")
            << "Image1"
            << "mousedown 1 mousemove_relative 30 20 mouseup 1" << QPoint(30, 20);
        QTest::newRow("drag on the picture") << "Image1"
                                             << "" << QPoint(80, 50);
        QTest::newRow("drag on a label") << "Text(3)"
                                         << "" << QPoint(80, 50);
    }

    void pointerOnTheClient() {
        QFETCH(QString, control);
        QFETCH(QString, gesture);
        QFETCH(QPoint, moves);
        const QPoint before = position();
        const QPoint at = onScreen(main_->findChild<QWidget*>(control), {20, 10});
        if (gesture.isEmpty()) {
            QVERIFY(dragWithPointer(at, at + moves));
            QTRY_VERIFY((position() - before).manhattanLength() > 100);
        } else {
            // Within a millisecond or two, while the client (this process) is busy: it sees
            // the events only afterwards, as it does while it plays a cue. Then the pointer
            // wanders off.
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
        QFile::remove(home() + "/opened.txt");
        const QPoint before = position();
        const QString newest = main_->historyList().entries().value(0);
        main_->Timer2.stop(); // the saved picture stays in the client
        main_->ShowImageInClient(newest);
        doubleClickAt(onScreen(picture(), {20, 70}));
        doubleClickAt(centreOf(label(2)));
        QStringList expected{newest, folder(2)};
        expected.sort();
        const auto opened = [] {
            QStringList lines = readLines(home() + "/opened.txt");
            lines.sort();
            return lines;
        };
        QTRY_COMPARE_WITH_TIMEOUT(opened(), expected, 10000);
        QCOMPARE(position(), before);
        // On the background picture: the desktop.
        main_->Timer2.start(1);
        QTRY_VERIFY(main_->showsBackground());
        doubleClickAt(onScreen(picture(), {20, 70}));
        QTRY_VERIFY(run("xprop", {"-root", "_NET_SHOWING_DESKTOP"}).contains("= 1"));
        run("wmctrl", {"-k", "off"});
    }
};

namespace {

// The drag source, in a second process: a borderless window at 100, 600 that starts a real
// (XDND) drag of one file when pressed, offering a copy, or a move and a copy.
// It prints "ready" once placed and then the action the drag ended with.
class DragSource : public QWidget {
public:
    QMimeData* data = new QMimeData;
    bool offerMove = false;
    void mousePressEvent(QMouseEvent*) override {
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction result =
            offerMove ? drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction)
                      : drag->exec(Qt::CopyAction);
        std::printf("%s\n", result == Qt::CopyAction ? "copy" : "not a copy");
        std::fflush(stdout);
    }
};

int dragSource(const QString& action, const QString& file) {
    DragSource source;
    source.offerMove = action == "move";
    source.data->setUrls({QUrl::fromLocalFile(file)});
    source.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    source.setGeometry(100, 600, 120, 120);
    source.show();
    // Ready once the window manager has put it there (or has had three seconds to).
    static_cast<void>(QTest::qWaitFor(
        [&] { return source.windowHandle()->isExposed() && source.pos() == QPoint(100, 600); },
        3000));
    std::printf("ready\n");
    std::fflush(stdout);
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    // The client takes its command line from the application: without the test's arguments it
    // starts as it does from the menu (splash, greeting), whichever tests are asked for.
    int programOnly = 1;
    QApplication app(programOnly, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--drag-source")
        return dragSource(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestClientWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_clientwindow.moc"
