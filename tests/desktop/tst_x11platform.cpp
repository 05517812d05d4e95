// The Linux platform's services against the real session: the autostart entry as the login
// reads it, the desktop's opener, the window manager's buttons on a secondary window, the
// folder dialog.
#include "DesktopTools.h"
#include "platform/PlatformFactory.h"
#include "platform/x11/Autostart.h"
#include "platform/x11/SelectionReader.h"
#include "platform/x11/XdndWatch.h"

#include <QAbstractItemView>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <thread>
#include <xcb/xcb.h>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// A drag source on an X connection of its own, as GTK programs answer: the drag's selection
// as image/jpeg, in parts of 256 KiB (INCR) when larger, each part written once the requestor
// has deleted the one before.
void serveDragData(const QByteArray& data, int lateMs, std::atomic<bool>& owned,
                   const std::atomic<bool>& stop) {
    constexpr qsizetype kPart = 256 * 1024;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const auto atom = [c](const char* name) { // its own, not the program's cache
        const auto cookie = xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
        const xcb_atom_t atom = reply ? reply->atom : 0;
        std::free(reply);
        return atom;
    };
    const xcb_window_t window = xcb_generate_id(c);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_create_window(c, 0, window, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(c, window, atom("XdndSelection"), XCB_CURRENT_TIME);
    xcb_flush(c);
    owned = true;
    xcb_window_t requestor = 0;
    xcb_atom_t property = 0;
    qsizetype sent = -1; // of the parts, or -1
    const auto write = [&](xcb_atom_t type, uint8_t format, const void* bytes, qsizetype units) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, type, format,
                            uint32_t(units), bytes);
    };
    while (!stop) {
        pollfd ready{xcb_get_file_descriptor(c), POLLIN, 0};
        ::poll(&ready, 1, 20);
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
                const auto* asked = reinterpret_cast<xcb_selection_request_event_t*>(event);
                // The first answer only once it has been given up.
                std::this_thread::sleep_for(std::chrono::milliseconds(std::exchange(lateMs, 0)));
                xcb_selection_notify_event_t answer{};
                answer.response_type = XCB_SELECTION_NOTIFY;
                answer.time = asked->time;
                answer.requestor = requestor = asked->requestor;
                answer.selection = asked->selection;
                answer.target = XCB_ATOM_NONE; // a refusal, as Qt refuses
                property = asked->property;
                if (asked->target == atom("image/jpeg")) {
                    answer.target = asked->target;
                    answer.property = property;
                    if (data.size() <= kPart) {
                        write(asked->target, 8, data.constData(), data.size());
                    } else {
                        const uint32_t length = data.size(),
                                       events = XCB_EVENT_MASK_PROPERTY_CHANGE;
                        xcb_change_window_attributes(c, requestor, XCB_CW_EVENT_MASK, &events);
                        write(atom("INCR"), 32, &length, 1);
                        sent = 0;
                    }
                }
                xcb_send_event(c, 0, requestor, 0, reinterpret_cast<const char*>(&answer));
            } else if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && sent >= 0) {
                const auto* changed = reinterpret_cast<xcb_property_notify_event_t*>(event);
                if (changed->window == requestor && changed->atom == property &&
                    changed->state == XCB_PROPERTY_DELETE) {
                    const QByteArray part = data.mid(sent, kPart);
                    write(atom("image/jpeg"), 8, part.constData(), part.size());
                    sent = part.isEmpty() ? -1 : sent + part.size(); // an empty part ends
                }
            }
            std::free(event);
        }
        xcb_flush(c);
    }
    xcb_disconnect(c);
}

} // namespace

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

    // A drag's data as another program serves it: in one piece, in parts (INCR) when large,
    // cut past the limit, refused in a type not offered; a late answer to a request given up
    // is not taken for the next one's.
    void dragDataReadFromTheSource_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("askedAs");
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<int>("expected"); // bytes read, the first ones of the data
        QTest::addColumn<int>("lateMs");   // the first request answered after this
        QTest::newRow("one piece") << 100'000 << "image/jpeg" << qint64(1 << 30) << 100'000 << 0;
        QTest::newRow("in parts") << 3'000'000 << "image/jpeg" << qint64(1 << 30) << 3'000'000 << 0;
        QTest::newRow("past the limit")
            << 3'000'000 << "image/jpeg" << qint64(1'000'000) << 1'000'001 << 0;
        QTest::newRow("not offered") << 100'000 << "image/png" << qint64(1 << 30) << 0 << 0;
        QTest::newRow("a late answer, then the next request")
            << 100'000 << "image/jpeg" << qint64(1 << 30) << 100'000 << 1500;
    }
    void dragDataReadFromTheSource() {
        QFETCH(int, size);
        QFETCH(QString, askedAs);
        QFETCH(qint64, maxBytes);
        QFETCH(int, expected);
        QFETCH(int, lateMs);
        QByteArray data(size, Qt::Uninitialized);
        QRandomGenerator(size).fillRange(reinterpret_cast<quint32*>(data.data()), size / 4);
        std::atomic<bool> owned = false, stop = false;
        std::thread source([&] { serveDragData(data, lateMs, owned, stop); });
        const auto ended = qScopeGuard([&] {
            stop = true;
            source.join();
        });
        QTRY_VERIFY(owned);
        const XdndWatch drag;
        SelectionReader reader(drag);
        QElapsedTimer clock;
        clock.start();
        if (lateMs) {
            QCOMPARE(reader.read(askedAs, lateMs / 2, maxBytes), QByteArray());
            QTest::qWait(lateMs); // the late answer lands
        }
        const std::optional<QByteArray> read = reader.read(askedAs, 5000, maxBytes);
        QVERIFY(read);
        // A refusal ends the request: it is not waited out as silence would be.
        QVERIFY2(expected > 0 || clock.elapsed() < 2500, "the refusal was not heard");
        QCOMPARE(read->size(), expected);
        QVERIFY(*read == data.left(expected));
    }
};

QTEST_MAIN(TestX11Platform)
#include "tst_x11platform.moc"
