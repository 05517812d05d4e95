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
        remote =
            std::make_unique<QDBusInterface>("org.gnome.Mutter.RemoteDesktop", path.value().path(),
                                             "org.gnome.Mutter.RemoteDesktop.Session", bus);
        return path.isValid() && call("Start");
    }
    template <typename... Args> bool call(const char* method, Args... args) {
        return remote->call(method, args...).type() == QDBusMessage::ReplyMessage;
    }
    bool play(const PointerPath& path) override {
        bool ok = true;
        for (const PointerStep& s : path) {
            if (at.x() < 0 && (ok = ok && call("NotifyPointerMotionRelative", -20000.0, -20000.0)))
                at = {0, 0};
            ok = ok && (s.to == at || call("NotifyPointerMotionRelative", double(s.to.x() - at.x()),
                                           double(s.to.y() - at.y())));
            at = s.to;
            if (s.button) // BTN_LEFT, BTN_RIGHT
                ok = ok &&
                     call("NotifyPointerButton", qAbs(s.button) == 3 ? 0x111 : 0x110, s.button > 0);
            QTest::qWait(std::max(s.restMs, 10));
        }
        if (!ok) // no button left down
            call("NotifyPointerButton", 0x110, false), call("NotifyPointerButton", 0x111, false);
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
