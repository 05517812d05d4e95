// On a Wayland session (weston, headless, with XWayland, Qt's Wayland plugin installed) the
// program picks X11 itself and takes a drop from an X client there, wherever the window
// manager has put its window. The drop is made by a second process speaking XDND straight to
// the client window: XWayland takes no synthetic pointer motion.
#include "DesktopTools.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <cstdio>
#include <cstring>
#include <xcb/xcb.h>

using namespace kelvane::test;

namespace {

// The XDND source of a drop of one file on window `target` at (dx, dy) inside it; prints
// "finished accepted" (or "refused") when the target says it is done. False on a time-out.
bool dropFileWithXdnd(xcb_window_t target, int dx, int dy, const QByteArray& uri) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const auto atom = [c](const char* name) {
        auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, strlen(name), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(r);
        return a;
    };
    const xcb_atom_t status = atom("XdndStatus"), finished = atom("XdndFinished"),
                     uriList = atom("text/uri-list"), targets = atom("TARGETS");
    const xcb_window_t source = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, source, root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(c, source, atom("XdndSelection"), XCB_CURRENT_TIME);
    const auto send = [&](const char* type, uint32_t d1, uint32_t d2, uint32_t d3, uint32_t d4) {
        xcb_client_message_event_t m{};
        m.response_type = XCB_CLIENT_MESSAGE;
        m.format = 32;
        m.window = target;
        m.type = atom(type);
        const uint32_t data[5] = {source, d1, d2, d3, d4};
        std::memcpy(m.data.data32, data, sizeof data);
        xcb_send_event(c, 0, target, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&m));
        xcb_flush(c);
    };
    // Where the point is on the screen, asked anew for each position (the window manager may
    // still be placing the window).
    const auto moveTo = [&] {
        auto* at = xcb_translate_coordinates_reply(
            c, xcb_translate_coordinates(c, target, root, dx, dy), nullptr);
        if (at)
            send("XdndPosition", 0, uint32_t(at->dst_x) << 16 | uint32_t(at->dst_y),
                 XCB_CURRENT_TIME, atom("XdndActionCopy"));
        free(at);
    };
    send("XdndEnter", 5u << 24, uriList, 0, 0);
    moveTo();
    QElapsedTimer clock;
    clock.start();
    bool dropped = false, done = false;
    while (!done && clock.elapsed() < 15000 && !xcb_connection_has_error(c)) {
        xcb_generic_event_t* e = xcb_poll_for_event(c);
        if (!e) {
            QThread::msleep(5);
            continue;
        }
        const auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
        const auto* r = reinterpret_cast<xcb_selection_request_event_t*>(e);
        if ((e->response_type & 0x7f) == XCB_CLIENT_MESSAGE && m->type == status && !dropped) {
            if ((dropped = m->data.data32[1] & 1)) // the target takes the drop there
                send("XdndDrop", 0, XCB_CURRENT_TIME, 0, 0);
            else { // not yet: the pointer "moves" on, as in a real drag
                QThread::msleep(100);
                moveTo();
            }
        } else if ((e->response_type & 0x7f) == XCB_CLIENT_MESSAGE && m->type == finished) {
            std::printf("finished %s\n", m->data.data32[1] & 1 ? "accepted" : "refused");
            done = true;
        } else if ((e->response_type & 0x7f) == XCB_SELECTION_REQUEST) { // the address read
            xcb_selection_notify_event_t n{
                XCB_SELECTION_NOTIFY, 0,         0,          r->time, r->requestor,
                r->selection,         r->target, r->property};
            const xcb_atom_t offered[] = {targets, uriList};
            if (r->target == uriList)
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, r->requestor, r->property, uriList, 8,
                                    uri.size(), uri.constData());
            else if (r->target == targets)
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, r->requestor, r->property,
                                    XCB_ATOM_ATOM, 32, 2, offered);
            else
                n.property = XCB_ATOM_NONE;
            xcb_send_event(c, 0, r->requestor, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&n));
            xcb_flush(c);
        }
        free(e);
    }
    xcb_disconnect(c);
    return done;
}

} // namespace

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
        QByteArray log;
        const QRegularExpression listening("listening on display (:\\d+)");
        QVERIFY(QTest::qWaitFor(
            [&] {
                return !(display_ = listening.match(log += weston_.readAll()).captured(1))
                            .isEmpty();
            },
            15000));
    }

    void cleanupTestCase() {
        weston_.terminate();
        if (!weston_.waitForFinished(5000))
            weston_.kill();
    }

    void dropFromAnXClient() {
        TestHome home;
        writeFile(home.settingsFile(), previousRun({"left= 1500", "top= 1500"}, {home.path()}));
        const QString file = home.path() + "/cache/cat.png";
        writeFile(file, QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAA"
                                               "DElEQVR4nGP4z8AAAAMBAQDJ/pLvAAAAAElFTkSuQmCC"));
        KelvaneProcess kelvane(home);
        QProcessEnvironment env = home.environment();
        env.remove("QT_QPA_PLATFORM"); // the program picks X11 itself
        env.insert("WAYLAND_DISPLAY", "wayland-kelvane");
        env.insert("XDG_SESSION_TYPE", "wayland");
        env.insert("DISPLAY", display_);
        env.insert("XDG_RUNTIME_DIR", runtime_.path());
        kelvane.setProcessEnvironment(env);
        kelvane.start({"nosplash"});
        const QString pid = QString::number(kelvane.processId());
        QString window;
        QVERIFY(QTest::qWaitFor(
            [&] {
                window = run("xdotool",
                             {"search", "--onlyvisible", "--pid", pid, "--name", "^Kelvane$"}, env)
                             .section('\n', 0, 0);
                return !window.isEmpty() || kelvane.state() != QProcess::Running;
            },
            15000));
        QVERIFY2(!window.isEmpty(), "no window on XWayland");
        // As a user would: the drop comes once the window has stayed put for a second.
        QString place, last;
        int still = 0;
        QVERIFY(QTest::qWaitFor(
            [&] {
                place = run("xwininfo", {"-id", window}, env).section("Absolute", 1, 2);
                still = place == last ? still + 1 : 0;
                last = place;
                QTest::qWait(200);
                return still >= 5;
            },
            15000));
        QProcess source; // the X client that drops
        source.setProcessEnvironment(env);
        source.start(QCoreApplication::applicationFilePath(),
                     {"--xdnd-drop", window, QUrl::fromLocalFile(file).toString()});
        QVERIFY(source.waitForFinished(20000));
        QCOMPARE(source.readAllStandardOutput().trimmed(), QByteArray("finished accepted"));
        QTRY_VERIFY(QFile::exists(home.path() + "/Desktop/cat.png"));
        QVERIFY(QFile::exists(file));
        QVERIFY(kelvane.terminate());
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--xdnd-drop") {
        std::setvbuf(stdout, nullptr, _IONBF, 0);
        // Inside the picture, clear of the status icon.
        return dropFileWithXdnd(QByteArray(argv[2]).toULong(), 12, 40, QByteArray(argv[3]) + "\r\n")
                   ? 0
                   : 1;
    }
    TestWayland test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_wayland.moc"
