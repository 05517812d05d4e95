// The client window with the real platform on the real desktop: drops from another process,
// the labels under a real pointer, moving the window, the always-on-top band and opening files.
#include "DesktopTools.h"
#include "DragTools.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "platform/PlatformFactory.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace kelvane;
using namespace kelvane::test;

namespace {

QString home() {
    return QDir::homePath();
}

void pointerTo(QPoint p) {
    run("xdotool", {"mousemove", "--sync", QString::number(p.x()), QString::number(p.y())});
}

QPoint windowPosition(const QWidget* w) {
    const QString shell =
        run("xdotool", {"getwindowgeometry", "--shell", QString::number(w->winId())});
    const auto value = [&](const char* key) {
        return shell.section(QString::fromLatin1(key) + '=', 1, 1).section('\n', 0, 0).toInt();
    };
    return {value("X"), value("Y")};
}

// An application that records what it is asked to open, as the user's default for pictures
// and folders.
void installRecordingOpener() {
    const QString apps = home() + "/.local/share/applications";
    QDir().mkpath(apps);
    writeFile(home() + "/opener.sh", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$HOME/opened.txt\"\n");
    QFile::setPermissions(home() + "/opener.sh",
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::WriteOwner);
    writeFile(apps + "/kelvane-test-opener.desktop",
              ("[Desktop Entry]\nType=Application\nName=Opener\nExec=" + home() +
               "/opener.sh %f\nMimeType=image/png;inode/directory;\n")
                  .toUtf8());
    writeFile(home() + "/.config/mimeapps.list",
              "[Default Applications]\nimage/png=kelvane-test-opener.desktop\n"
              "inode/directory=kelvane-test-opener.desktop\n");
}

} // namespace

class TestClientWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<Platform> platform_;
    AppState state_;
    std::unique_ptr<frmMain> main_;

    QString folder(int i) const { return home() + QStringLiteral("/folder %1").arg(i); }
    QLineEdit* label(int i) const { return main_->controls().Text[i]; }
    QPoint centreOf(const QWidget* w) const { return w->mapToGlobal(w->rect().center()); }

private Q_SLOTS:
    void initTestCase() {
        if (!onTestDesktop())
            QSKIP("needs the test desktop (scripts/test-desktop.sh)");
        for (int slot : {0, 2, 3})
            QDir().mkpath(folder(slot));
        writeFile(home() + "/.config/kelvane/kelvane.dat",
                  settingsText({"alwaysontop=True", "clientsize=LARGE", "overwrite=False",
                                "showsavedimage=True", "firstuse=False", "", "left= 6000",
                                "top= 4500", "playconfirmsound=False"},
                               {folder(0), "", folder(2), folder(3)}));
        installRecordingOpener();

        platform_ = createPlatform();
        main_ = std::make_unique<frmMain>(*platform_, state_);
        QCOMPARE(main_->Form_Load(), frmMain::LoadResult::Running);
        main_->splash()->setSplashDuration(10);
        QTRY_VERIFY(main_->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
        QTRY_COMPARE(windowPosition(main_.get()), QPoint(400, 300));
    }

    void cleanupTestCase() {
        if (main_)
            main_->Form_Unload();
        main_.reset();
    }

    void labelsStackUnderThePicture() {
        // "LARGE": a 1460-twip square (97 px) and 18-pixel labels for slots 0, 2 and 3.
        QCOMPARE(main_->width(), 97);
        QCOMPARE(main_->height(), 97 + 3 * 18);
        QVERIFY(label(0)->isVisible() && !label(1)->isVisible());
        QVERIFY(label(2)->isVisible() && label(3)->isVisible());
        QCOMPARE(label(0)->y(), 97);
        QCOMPARE(label(2)->y(), label(0)->y() + label(0)->height());
        QCOMPARE(label(3)->y() + label(3)->height(), main_->height());
        QCOMPARE(label(2)->text(), folder(2));
    }

    void highlightFollowsTheRealPointer() {
        const QColor yellow(255, 230, 22);
        pointerTo(centreOf(label(2)));
        QTRY_COMPARE(label(2)->palette().color(QPalette::Base), yellow);
        QCOMPARE(main_->iCurrentLabel, std::int16_t(2));
        QCOMPARE(label(0)->palette().color(QPalette::Base), QColor(Qt::white));
        pointerTo(centreOf(label(3)));
        QTRY_COMPARE(label(3)->palette().color(QPalette::Base), yellow);
        QCOMPARE(label(2)->palette().color(QPalette::Base), QColor(Qt::white));
        pointerTo(centreOf(main_->controls().Image1));
        QTRY_COMPARE(label(3)->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(main_->iCurrentLabel, std::int16_t(3));
    }

    void dropsFromAnotherProgram_data() {
        QTest::addColumn<QString>("target"); // picture, icon, label2
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("savedAs");
        QTest::newRow("picture") << "picture"
                                 << "copy" << home() + "/Desktop/cat.jpg";
        QTest::newRow("status icon") << "icon"
                                     << "copy" << home() + "/Desktop/cat (1).jpg";
        QTest::newRow("second label, offered as a move") << "label2"
                                                         << "move" << folder(2) + "/cat.jpg";
    }

    void dropsFromAnotherProgram() {
        QFETCH(QString, target);
        QFETCH(QString, action);
        QFETCH(QString, savedAs);
        const QString source = home() + "/cache/cat[1].jpg";
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QDir().mkpath(home() + "/cache");
        QVERIFY(image.save(source, "PNG"));
        state_.bAutoIncrementSavedFiles = true;

        DragSource drag;
        QVERIFY2(drag.start({"--files", source, "--action", action, "--at", "100", "600"}),
                 qPrintable(drag.errorString()));
        const QWidget* onto = target == "picture" ? static_cast<QWidget*>(main_->controls().Image1)
                              : target == "icon"
                                  ? static_cast<QWidget*>(main_->controls().imgIcon[0])
                                  : label(2);
        const QPoint to = target == "picture"
                              ? main_->controls().Image1->mapToGlobal(QPoint(20, 70))
                              : centreOf(onto);
        QVERIFY(dragWithPointer(drag.geometry().center(), to));
        QCOMPARE(drag.waitForResult(), QStringLiteral("copy"));
        QTRY_VERIFY(QFile::exists(savedAs));
        QVERIFY(QFile::exists(source)); // a move was answered as a copy
        QCOMPARE(main_->historyList().entries().value(0), savedAs);
        QCOMPARE(readLines(home() + "/.config/kelvane/history.dat").value(0), savedAs);
        QCOMPARE(main_->controls().imgIcon[1]->toolTip(),
                 " This image was saved to \"" + savedAs + "\" ");
    }

    void textDropReportsTheFailure() {
        DragSource drag;
        QVERIFY(drag.start({"--text", "just some words", "--at", "100", "600"}));
        const int before = main_->historyList().size();
        QVERIFY(dragWithPointer(drag.geometry().center(),
                                main_->controls().Image1->mapToGlobal(QPoint(20, 70))));
        drag.waitForResult();
        // The failed icon is in front: it is the last of the three among the children.
        const QObjectList& children = main_->children();
        QTRY_VERIFY(children.indexOf(main_->controls().imgIcon[2]) >
                        children.indexOf(main_->controls().imgIcon[1]) &&
                    children.indexOf(main_->controls().imgIcon[2]) >
                        children.indexOf(main_->controls().imgIcon[0]));
        QCOMPARE(main_->historyList().size(), before);
        QVERIFY(main_->saving().showsBackground());
    }

    void doubleClicksOpenWithTheDefaultApplication() {
        QFile::remove(home() + "/opened.txt");
        const QString picture = main_->historyList().entries().value(0);
        QVERIFY(!picture.isEmpty());
        main_->saving().ShowImageInClient(picture);
        main_->saving().Image1_DblClick();
        main_->iCurrentLabel = 2;
        main_->folderCommands().Text_DblClick();
        const auto opened = [] {
            QFile f(home() + "/opened.txt");
            QStringList lines = f.open(QIODevice::ReadOnly)
                                    ? QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)
                                    : QStringList();
            lines.sort();
            return lines;
        };
        QStringList expected{picture, folder(2)};
        expected.sort();
        QTRY_COMPARE_WITH_TIMEOUT(opened(), expected, 10000);
    }
    void alwaysOnTopIsWhatTheWindowManagerSees() {
        const QString id = QString::number(main_->winId());
        QTRY_VERIFY(netWmState(id).contains("_NET_WM_STATE_ABOVE"));
        main_->menus().mnuAlwaysOnTop->trigger();
        QTRY_VERIFY(!netWmState(id).contains("_NET_WM_STATE_ABOVE"));
        main_->menus().mnuAlwaysOnTop->trigger();
        QTRY_VERIFY(netWmState(id).contains("_NET_WM_STATE_ABOVE"));
    }

    void leftDragOnALabelMovesTheWindow() {
        const QPoint before = windowPosition(main_.get());
        const QPoint start = centreOf(label(3));
        pointerTo(start);
        QTest::qWait(200);
        run("xdotool", {"mousedown", "1"});
        for (int step = 1; step <= 10; ++step) {
            QTest::qWait(20);
            pointerTo(start + QPoint(8 * step, 5 * step));
        }
        QTest::qWait(100);
        run("xdotool", {"mouseup", "1"});
        QTRY_COMPARE(windowPosition(main_.get()), before + QPoint(80, 50));
    }
    void doubleClickOnTheBackgroundShowsTheDesktop() {
        main_->saving().Timer2_Timer(); // back to the background picture
        main_->saving().Image1_DblClick();
        QTRY_VERIFY(run("xprop", {"-root", "_NET_SHOWING_DESKTOP"}).contains("= 1"));
        run("wmctrl", {"-k", "off"});
    }
};

QTEST_MAIN(TestClientWindow)
#include "tst_clientwindow.moc"
