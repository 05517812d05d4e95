// Start-up time and idle memory of Kelvane beside a minimal Qt Widgets program, the two started
// in turn in one run. The times are the X server's own: a watcher on the root window hears each
// new top-level window of the process mapped, the first one (Kelvane's splash) and the one the
// user works with (Kelvane's client, after the splash's designed pause).
// Run it on a desktop: scripts/test-desktop.sh build/bench_startup [runs]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace {

struct Disconnect {
    void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};

// Hears top-level windows appear and map, and tells whose they are.
class MapWatcher {
public:
    MapWatcher() : c_(xcb_connect(nullptr, nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_.get())).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_.get(), root_, XCB_CW_EVENT_MASK, &mask);
        pidAtom_ = atom("_NET_WM_PID");
        splashAtom_ = atom("_NET_WM_WINDOW_TYPE_SPLASH");
        typeAtom_ = atom("_NET_WM_WINDOW_TYPE");
        xcb_flush(c_.get());
    }

    struct Maps {
        double firstMs = -1;  // the first window of the process on the screen
        double usableMs = -1; // the first with a name that is no splash
    };
    // Waits until a window of pid that is no splash is mapped (or 20 s have gone).
    Maps waitFor(qint64 pid, const QElapsedTimer& clock) {
        Maps maps;
        while (maps.usableMs < 0 && clock.elapsed() < 20000) {
            std::unique_ptr<xcb_generic_event_t, decltype(&free)> e(xcb_poll_for_event(c_.get()),
                                                                    &free);
            if (!e) {
                QThread::usleep(200);
                continue;
            }
            const double now = double(clock.nsecsElapsed()) / 1e6;
            const uint8_t type = e->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                // Mapped windows of its own: a frame's map events go to the frame's parent.
                const xcb_window_t w =
                    reinterpret_cast<xcb_create_notify_event_t*>(e.get())->window;
                const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
                xcb_change_window_attributes(c_.get(), w, XCB_CW_EVENT_MASK, &mask);
                xcb_flush(c_.get());
                auto* attrs = xcb_get_window_attributes_reply(
                    c_.get(), xcb_get_window_attributes(c_.get(), w), nullptr);
                const bool viewable = attrs && attrs->map_state == XCB_MAP_STATE_VIEWABLE;
                free(attrs);
                if (viewable) // mapped before the watch began
                    note(w, pid, now, maps);
            } else if (type == XCB_MAP_NOTIFY) {
                note(reinterpret_cast<xcb_map_notify_event_t*>(e.get())->window, pid, now, maps);
            }
        }
        return maps;
    }

private:
    xcb_atom_t atom(const char* name) {
        auto* r = xcb_intern_atom_reply(
            c_.get(), xcb_intern_atom(c_.get(), 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(r);
        return a;
    }
    uint32_t property(xcb_window_t w, xcb_atom_t name, xcb_atom_t type) {
        auto* r = xcb_get_property_reply(
            c_.get(), xcb_get_property(c_.get(), 0, w, name, type, 0, 1), nullptr);
        const uint32_t value = r && xcb_get_property_value_length(r) >= 4
                                   ? *static_cast<uint32_t*>(xcb_get_property_value(r))
                                   : 0;
        free(r);
        return value;
    }
    bool named(xcb_window_t w) {
        auto* r = xcb_get_property_reply(
            c_.get(), xcb_get_property(c_.get(), 0, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 0, 8),
            nullptr);
        const bool any = r && xcb_get_property_value_length(r) > 0;
        free(r);
        return any;
    }
    void note(xcb_window_t w, qint64 pid, double now, Maps& maps) {
        if (property(w, pidAtom_, XCB_ATOM_CARDINAL) != uint32_t(pid))
            return;
        if (maps.firstMs < 0)
            maps.firstMs = now;
        // The client: no splash, nor the tray icon's window (which has no name).
        if (property(w, typeAtom_, XCB_ATOM_ATOM) != splashAtom_ && named(w) && maps.usableMs < 0)
            maps.usableMs = now;
    }

    std::unique_ptr<xcb_connection_t, Disconnect> c_;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = 0, splashAtom_ = 0, typeAtom_ = 0;
};

double residentMiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

struct Run {
    double firstMs, usableMs, rssMiB;
};

Run runOnce(const QString& program) {
    QTemporaryDir home;
    QDir().mkpath(home.path() + QStringLiteral("/rt"));
    QFile::setPermissions(home.path() + QStringLiteral("/rt"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path() + QStringLiteral("/rt"));
    MapWatcher watcher; // listening before the process starts
    QProcess p;
    p.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    p.start(program, {});
    p.waitForStarted();
    const MapWatcher::Maps maps = watcher.waitFor(p.processId(), clock);
    QThread::msleep(3000); // idle
    const double rss = residentMiB(p.processId());
    p.terminate();
    if (!p.waitForFinished(5000))
        p.kill();
    p.waitForFinished();
    return {maps.firstMs, maps.usableMs, rss};
}

double median(std::vector<Run> runs, double Run::*figure) {
    std::sort(runs.begin(), runs.end(),
              [&](const Run& a, const Run& b) { return a.*figure < b.*figure; });
    return runs[runs.size() / 2].*figure;
}

// "median unit (min to max)" of one figure over the runs.
QString spread(const std::vector<Run>& runs, double Run::*figure, const char* unit) {
    const auto [low, high] =
        std::minmax_element(runs.begin(), runs.end(),
                            [&](const Run& a, const Run& b) { return a.*figure < b.*figure; });
    return QStringLiteral("%1 %2 (%3 to %4)")
        .arg(median(runs, figure), 8, 'f', 1)
        .arg(QLatin1String(unit))
        .arg((*low).*figure, 0, 'f', 1)
        .arg((*high).*figure, 0, 'f', 1);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_startup needs a desktop: scripts/test-desktop.sh %s\n",
                     argv[0]);
        return 2;
    }
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QString dir = QStringLiteral(KELVANE_BUILD_DIR);
    std::vector<Run> base, ours;
    for (int i = 0; i < runs; ++i) { // in turn, so that the machine's moods fall on both
        base.push_back(runOnce(dir + QStringLiteral("/bench_baseline")));
        ours.push_back(runOnce(dir + QStringLiteral("/kelvane")));
    }
    std::printf("start-up, from the start of the process, median of %d (min to max)\n", runs);
    std::printf("  minimal Qt Widgets program, window mapped  %s\n",
                qPrintable(spread(base, &Run::firstMs, "ms ")));
    std::printf("  kelvane, first window mapped (the splash)  %s   ratio %.2f\n",
                qPrintable(spread(ours, &Run::firstMs, "ms ")),
                median(ours, &Run::firstMs) / median(base, &Run::firstMs));
    std::printf("  kelvane, client window mapped and usable   %s   (the splash's pause included)\n",
                qPrintable(spread(ours, &Run::usableMs, "ms ")));
    std::printf("resident memory, idle\n");
    std::printf("  minimal Qt Widgets program                 %s\n",
                qPrintable(spread(base, &Run::rssMiB, "MiB")));
    std::printf("  kelvane                                    %s   ratio %.2f\n",
                qPrintable(spread(ours, &Run::rssMiB, "MiB")),
                median(ours, &Run::rssMiB) / median(base, &Run::rssMiB));
    return 0;
}
