#include "ui/ClientPresence.h"

#include "core/AppState.h"
#include "core/SoundCues.h"

#include <QDateTime>
#include <QEvent>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace kelvane {

ClientPresence::ClientPresence(QWidget& client, Platform& platform, AppState& state,
                               SoundCues& cues, QMenu* mnuTrayMenu, QTimer& Timer5,
                               std::function<bool()> inBand)
    : client_(client), platform_(platform), state_(state), cues_(cues), mnuTrayMenu_(mnuTrayMenu),
      Timer5_(Timer5), inBand_(std::move(inBand)) {
    client_.installEventFilter(this);
}

bool ClientPresence::shown() const {
    return client_.isVisible() && !client_.isMinimized();
}

void ClientPresence::showClient() {
    client_.setWindowState(client_.windowState() & ~Qt::WindowMinimized);
    client_.show();
    // A window that left the screen has lost its place in the band: it takes it again
    // (unless a secondary window holds it out).
    platform_.setTopmost(&client_, inBand_());
    platform_.presentWindow(&client_); // whatever mode the window manager is in
}

void ClientPresence::hideClient() {
    // Hidden by the program itself, the window is simply taken off the screen: asking the
    // window manager to minimise it first would race with a quick "show" that follows.
    held_ = false;
    client_.hide();
}

void ClientPresence::trayEvent(Platform::TrayEvent event) {
    switch (event) {
    case Platform::TrayEvent::Click:
        return Form_MouseMove(0x0202);
    case Platform::TrayEvent::DoubleClick:
        return Form_MouseMove(0x0203);
    case Platform::TrayEvent::ContextMenu:
        return Form_MouseMove(0x0205);
    }
}

void ClientPresence::Form_MouseMove(int code) {
    constexpr int kLeftUp = 0x0202, kDoubleClick = 0x0203, kRightUp = 0x0205;
    switch (code) {
    case kLeftUp:
        state_.bSynchronizeWithInternetExplorer = false;
        showClient();
        break;
    case kDoubleClick:
        state_.bSynchronizeWithInternetExplorer = false;
        // Where the first click has shown the client already, no cue.
        if (!shown())
            cues_.PlaySoundCue(QStringLiteral("enlarge"));
        Timer5_.stop();
        showClient();
        break;
    case kRightUp:
        client_.activateWindow();
        // Opened once the tray icon has delivered the click: a command chosen in the menu
        // ("Exit Kelvane") may remove the icon.
        QTimer::singleShot(0, mnuTrayMenu_, [this] { mnuTrayMenu_->exec(platform_.cursorPos()); });
        break;
    default:
        break;
    }
}

void ClientPresence::mnuHideMe_Click() {
    cues_.PlaySoundCue(QStringLiteral("shrink"));
    state_.bSynchronizeWithInternetExplorer = false;
    hideClient();
}

void ClientPresence::mnuTrayRestore_Click() {
    // Following stays as it is: with no browser, the next tick hides the client again.
    showClient();
    cues_.PlaySoundCue(QStringLiteral("enlarge"));
}

void ClientPresence::Timer5_Timer() {
    if (!state_.bSynchronizeWithInternetExplorer) // the window list is not even asked for
        return;
    const bool browser = platform_.browserWindowExists();
    if (browser)
        held_ = false; // from now on the browser's end hides the client
    else if (held_)
        return;
    const auto step =
        following_.Timer5_Timer(true, shown(), browser, QDateTime::currentMSecsSinceEpoch());
    if (step == BrowserFollowing::Step::Show)
        return showClient();
    if (step != BrowserFollowing::Step::Hide)
        return;
    hideClient();
    if (!platform_.trayIconVisible() && !std::exchange(toldHidden_, true))
        platform_.notify(QStringLiteral("Kelvane stays out of sight until a web browser opens. "
                                        "Start Kelvane again to bring it back."));
}

bool ClientPresence::eventFilter(QObject* watched, QEvent* event) {
    // A minimised client leaves the screen, whoever minimised it; the tray icon brings it back.
    if (watched == &client_ && event->type() == QEvent::WindowStateChange && client_.isMinimized())
        hideClient();
    return false;
}

} // namespace kelvane
