// The Linux platform's services against the real session: the autostart entry as the login
// reads it, the desktop's opener, the window manager's buttons on a secondary window, the
// folder dialog.
#include "DesktopTools.h"
#include "platform/PlatformFactory.h"
#include "platform/x11/Autostart.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>

using namespace kelvane;
using namespace kelvane::test;

class TestX11Platform : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The folder dialog's name field shows the whole path of the folder a real click chose in
    // its list.
    void folderDialogShowsThePath() {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("Pictures/Cats")));
        const std::unique_ptr<Platform> platform = createPlatform();
        QString shown;
        QTimer::singleShot(0, [&] {
            const auto closed = qScopeGuard([] { // whatever happens, the dialog goes
                if (QWidget* open = QApplication::activeModalWidget())
                    open->close();
            });
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            QAbstractItemView* view = dialog->findChild<QAbstractItemView*>("treeView");
            if (!view->isVisible())
                view = dialog->findChild<QAbstractItemView*>("listView");
            QTRY_VERIFY(view->model()->rowCount(view->rootIndex()) == 1);
            const QModelIndex cats = view->model()->index(0, 0, view->rootIndex());
            pointerTo(view->viewport()->mapToGlobal(view->visualRect(cats).center()));
            run("xdotool", {"click", "1"});
            QTest::qWait(300);
            shown = name->text();
        });
        QCOMPARE(platform->browseForFolder(nullptr, "Folders", dir.filePath("Pictures")),
                 QString());
        QCOMPARE(shown, dir.filePath("Pictures/Cats"));
    }

    // A secondary window (the history window's kind, a dialog) asked for a close box only gets
    // no minimise or maximise button from the window manager; others keep theirs.
    void closeBoxOnly_data() {
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("asked");
        const int common =
            int(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        QTest::newRow("tool window") << (int(Qt::Tool) | common) << true;
        QTest::newRow("dialog") << (int(Qt::Dialog) | common) << true;
        QTest::newRow("window not asked") << int(Qt::Window) << false;
    }
    void closeBoxOnly() {
        if (!onTestDesktop())
            QSKIP("needs the test desktop (scripts/test-desktop.sh)");
        QFETCH(int, flags);
        QFETCH(bool, asked);
        const std::unique_ptr<Platform> platform = createPlatform();
        QWidget window(nullptr, Qt::WindowFlags(flags));
        window.setWindowTitle("History");
        window.resize(127, 96);
        if (asked)
            platform->closeBoxOnly(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QString actions;
        QTRY_VERIFY((actions = run("xprop", {"-id", QString::number(window.winId()),
                                             "_NET_WM_ALLOWED_ACTIONS"}))
                        .contains("CLOSE"));
        QCOMPARE(actions.contains("MINIMIZE"), !asked);
        QCOMPARE(actions.contains("MAXIMIZE"), !asked);
        window.hide(); // and shown again: still so
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY((actions = run("xprop", {"-id", QString::number(window.winId()),
                                             "_NET_WM_ALLOWED_ACTIONS"}))
                        .contains("CLOSE"));
        QCOMPARE(actions.contains("MINIMIZE"), !asked);
    }

    // A file or address is handed to xdg-open as one argument; its failure is the call's.
    void openerReportsFailure_data() {
        QTest::addColumn<QString>("opener"); // what the opener does after noting its arguments
        QTest::addColumn<bool>("opened");
        QTest::newRow("no application for it") << "exit 3" << false;
        QTest::newRow("opened") << "exit 0" << true;
        QTest::newRow("a missing file, the opener's to say") << "exit 2" << true;
        QTest::newRow("the browser runs on") << "sleep 3" << true;
    }
    void openerReportsFailure() {
        QFETCH(QString, opener);
        QFETCH(bool, opened);
        QTemporaryDir dir;
        writeFile(dir.filePath("bin/xdg-open"),
                  ("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" >>\"$0.args\"\n" + opener).toUtf8());
        QFile(dir.filePath("bin/xdg-open")).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.filePath("bin")) + ':' + path);
        const std::unique_ptr<Platform> platform = createPlatform();
        const QString page = dir.filePath("my help #1.html");
        QCOMPARE(platform->openPath(page), opened);
        QCOMPARE(platform->openAddress("https://kelvane.org/help?page=1"), opened);
        qputenv("PATH", path);
        QCOMPARE(QString(readBytes(dir.filePath("bin/xdg-open.args"))).split('\n'),
                 QStringList({"1", page, "1", "https://kelvane.org/help?page=1", ""}));
    }

    // At login the session starts the entry's program; once the program has been removed, the
    // entry is skipped for its TryExec key (which every session honours) instead of failing.
    void autostartEntrySkipsARemovedProgram() {
        // A path that would break the Exec line into a command of its own is not written.
        for (const char* path : {"/x\nExec=touch INJECTED\nZ=/kelvane", "/tab\there/kelvane"})
            QVERIFY(autostart::entryFor(path, "hidden").isEmpty());
        const QString generator =
            QStringLiteral("/usr/lib/systemd/user-generators/systemd-xdg-autostart-generator");
        if (!QFileInfo(generator).isExecutable())
            QSKIP("no systemd autostart generator here");
        QTemporaryDir dir;
        const QString program = dir.path() + "/my \"odd\" $dir/kelvane";
        QVERIFY(QDir().mkpath(QFileInfo(program).path()));
        QVERIFY(QFile::copy("/bin/true", program));
        writeFile(dir.path() + "/config/autostart/kelvane.desktop",
                  autostart::entryFor(program, "hidden"));
        QString said;
        const auto unitsAtLogin = [&] {
            QDir(dir.path() + "/units").removeRecursively();
            QDir().mkpath(dir.path() + "/units");
            QProcess login;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
            env.insert("XDG_CONFIG_DIRS", dir.path() + "/none");
            env.insert("SYSTEMD_LOG_LEVEL", "debug");
            login.setProcessEnvironment(env);
            const QString units = dir.path() + "/units";
            login.start(generator, {units, units, units});
            login.waitForFinished();
            said = login.readAllStandardError();
            return QDir(units).entryList({"*.service"});
        };
        QCOMPARE(unitsAtLogin(), QStringList{"app-kelvane@autostart.service"});
        QVERIFY(QFile::remove(program));
        QCOMPARE(unitsAtLogin(), QStringList{});
        QVERIFY2(said.contains("TryExec"), qPrintable(said));
    }
};

QTEST_MAIN(TestX11Platform)
#include "tst_x11platform.moc"
