// How long each secondary window takes to appear after its menu command, beside a plain dialog
// shown in the same run: from the command until the window manager has mapped the window and
// it is exposed. The command's own share (making the window, the click cue) is printed too.
// Run it on a desktop: scripts/test-desktop.sh build/bench_dialogs [runs]
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "platform/PlatformFactory.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace kelvane;

namespace {

struct Figures {
    double commandMs; // the command itself, until it returns
    double shownMs;   // until the window is exposed
    double firstMs;   // the first run's shownMs: the window made for the first time
};

// Runs the command, then waits (events going) until window() is exposed; the window is closed
// afterwards. Medians of the runs.
Figures measure(int runs, const std::function<void()>& command,
                const std::function<QWidget*()>& window) {
    std::vector<double> commands, shown;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        command();
        commands.push_back(double(clock.nsecsElapsed()) / 1e6);
        QWidget* w = window();
        while (clock.elapsed() < 10000 &&
               !(w && w->windowHandle() && w->windowHandle()->isExposed())) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            w = window();
        }
        shown.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (w)
            w->close();
        QElapsedTimer settle; // let the window go before the next run
        settle.start();
        while (settle.elapsed() < 300)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    const double first = shown.front();
    std::sort(commands.begin(), commands.end());
    std::sort(shown.begin(), shown.end());
    return {commands[commands.size() / 2], shown[shown.size() / 2], first};
}

void print(const char* name, Figures f, const Figures& base) {
    std::printf("  %-24s %8.1f ms %8.1f ms %8.1f ms   ratio %.2f\n", name, f.commandMs, f.shownMs,
                f.firstMs, f.shownMs / base.shownMs);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_dialogs needs a desktop: scripts/test-desktop.sh %s\n",
                     argv[0]);
        return 2;
    }
    QTemporaryDir home; // settings and history of this run only
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/.config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + QStringLiteral("/.local/share")));
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    std::unique_ptr<QDialog> plain;
    const Figures base = measure(
        runs,
        [&] {
            plain = std::make_unique<QDialog>();
            new QLabel(QStringLiteral("A plain dialog"), plain.get());
            plain->show();
        },
        [&] { return plain.get(); });

    const std::unique_ptr<Platform> platform = createPlatform();
    AppState state;
    frmMain client(*platform, state);
    client.Form_Load();
    client.splash()->setSplashDuration(1);
    while (!client.isVisible() || !client.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const auto menuCommand = [&](QAction* item, std::function<QWidget*()> window) {
        return measure(
            runs, [item] { item->trigger(); }, std::move(window));
    };
    const Figures about =
        menuCommand(client.menus().mnuAbout, [&] { return (QWidget*)client.about(); });
    const Figures options =
        menuCommand(client.menus().mnuMore, [&] { return (QWidget*)client.options(); });
    const Figures addFolder = menuCommand(client.menus().mnuAddFolderToDesktop,
                                          [&] { return (QWidget*)client.addFolderDialog(); });

    std::printf("secondary window from its command until shown (median of %d)\n", runs);
    std::printf("  %-24s %11s %11s %11s\n", "", "command", "shown", "first");
    print("plain dialog", base, base);
    print("About Kelvane", about, base);
    print("More Options", options, base);
    print("Add Folder to Desktop", addFolder, base);
    return 0;
}
