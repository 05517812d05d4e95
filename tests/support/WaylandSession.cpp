// The Wayland session that scripts/test-desktop.sh starts beside the X desktop: mutter, headless,
// with XWayland, on a session bus of its own.
#include "DesktopTools.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

namespace kelvane::test {

namespace {

QString session(const char* what) {
    return qEnvironmentVariable(QByteArray("KELVANE_WAYLAND_") + what);
}

// mutter's remote desktop: input as from a remote user, for as long as this connection lasts.
// Absolute moves would need a screen cast; the pointer is first pushed into the corner, where
// it stops at 0,0, and moved relatively from there on.
struct WaylandPointer : Pointer {
    QDBusConnection bus = QDBusConnection::connectToBus(session("BUS"), "kelvane-wayland-pointer");
    std::unique_ptr<QDBusInterface> remote;
    QPoint at{-1, -1};

    bool start() {
        QDBusInterface desktop("org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop",
                               "org.gnome.Mutter.RemoteDesktop", bus);
        const QDBusReply<QDBusObjectPath> path = desktop.call("CreateSession");
        if (!path.isValid()) {
            qWarning() << "no remote desktop:" << path.error().message();
            return false;
        }
        remote =
            std::make_unique<QDBusInterface>("org.gnome.Mutter.RemoteDesktop", path.value().path(),
                                             "org.gnome.Mutter.RemoteDesktop.Session", bus);
        const QDBusMessage started = remote->call("Start");
        return started.type() == QDBusMessage::ReplyMessage;
    }
    bool moveBy(QPoint d) {
        return remote->call("NotifyPointerMotionRelative", double(d.x()), double(d.y())).type() ==
               QDBusMessage::ReplyMessage;
    }
    bool play(const PointerPath& path) override {
        bool ok = true;
        for (const PointerStep& s : path) {
            if (at.x() < 0 && (ok = ok && moveBy({-20000, -20000})))
                at = {0, 0};
            ok = ok && (s.to == at || moveBy(s.to - at));
            at = s.to;
            if (s.button)
                ok = ok && remote->call("NotifyPointerButton", qAbs(s.button) == 3 ? 0x111 : 0x110,
                                        s.button > 0)
                                   .type() == QDBusMessage::ReplyMessage;
            QTest::qWait(std::max(s.restMs, 10));
        }
        if (!ok) // no button left down
            for (int button : {0x110, 0x111})
                remote->call("NotifyPointerButton", button, false);
        return ok;
    }
};

} // namespace

QString waylandSessionMissing() {
    return session("DISPLAY").isEmpty() ? "no Wayland session: " + session("MISSING") : QString();
}

void enterWaylandSession() {
    qputenv("DISPLAY", session("X_DISPLAY").toUtf8());
    qputenv("XAUTHORITY", session("XAUTHORITY").toUtf8());
    qputenv("WAYLAND_DISPLAY", session("DISPLAY").toUtf8());
    qputenv("XDG_RUNTIME_DIR", session("RUNTIME_DIR").toUtf8());
    qputenv("DBUS_SESSION_BUS_ADDRESS", session("BUS").toUtf8());
    qputenv("XDG_SESSION_TYPE", "wayland");
    qunsetenv("QT_QPA_PLATFORM"); // the program picks its own, as in a user's session
}

std::unique_ptr<Pointer> waylandPointer() {
    auto pointer = std::make_unique<WaylandPointer>();
    return pointer->bus.isConnected() && pointer->start() ? std::move(pointer) : nullptr;
}

} // namespace kelvane::test
