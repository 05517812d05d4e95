#include "platform/x11/Termination.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace kelvane {
namespace {

int signalPipe[2] = {-1, -1};
std::function<void()> terminationHandler;

void onSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here: wake the GUI thread.
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

void runHandlerOnce() {
    if (auto handler = std::exchange(terminationHandler, nullptr))
        handler();
}

std::function<void()> abruptExitHandler;

void runAbruptExitHandler() {
    if (auto handler = std::exchange(abruptExitHandler, nullptr))
        handler();
}

} // namespace

void installAbruptExitHandler(std::function<void()> handler) {
    static const bool registered = std::atexit(runAbruptExitHandler) == 0;
    (void)registered;
    abruptExitHandler = std::move(handler);
}

void installTerminationHandler(std::function<void()> handler) {
    terminationHandler = std::move(handler);
    if (signalPipe[0] >= 0)
        return;
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qGuiApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qGuiApp, [] {
        char buffer[16];
        while (::read(signalPipe[0], buffer, sizeof buffer) > 0) {
        }
        runHandlerOnce();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);

    // The end of the desktop session: the session manager asks before it logs out.
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, qGuiApp,
                     [](QSessionManager&) { runHandlerOnce(); });
}

} // namespace kelvane
