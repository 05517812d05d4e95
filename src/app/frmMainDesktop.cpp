// The client on the desktop: the tray icon's clicks, hiding and showing, browser following,
// the always-on-top band while a secondary window is open.
#include "app/frmMain.h"

#include <QDateTime>
#include <QEvent>
#include <QMenu>
#include <QTimer>

namespace kelvane {
namespace {

// How long following waits after it sees a browser before it shows the client.
constexpr qint64 kShowDelayMs = 1200;

} // namespace

void frmMain::showClient() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    // A window that left the screen has lost its place in the band: it takes it again
    // (unless a secondary window holds it out).
    platform_.setTopmost(this, state_.bAlwaysOnTop && menus_.mnuAlwaysOnTop->isChecked());
    raise();
    activateWindow();
}

void frmMain::Form_MouseMove(int code) {
    // The tray icon's clicks, as the mouse messages they stand for.
    constexpr int kLeftUp = 0x0202, kDoubleClick = 0x0203, kRightUp = 0x0205;
    switch (code) {
    case kLeftUp:
        state_.bSynchronizeWithInternetExplorer = false;
        showClient();
        break;
    case kDoubleClick:
        state_.bSynchronizeWithInternetExplorer = false;
        // Where the first click has shown the client already, no cue.
        if (isMinimized() || !isVisible())
            cues_.PlaySoundCue(QStringLiteral("enlarge"));
        Timer5.stop();
        showClient();
        break;
    case kRightUp:
        activateWindow();
        menus_.mnuTrayMenu->exec(platform_.cursorPos());
        break;
    default:
        break;
    }
}

void frmMain::hideClient() {
    // Hidden by the program itself, the window is simply taken off the screen: asking the
    // window manager to minimise it first would race with a quick "show" that follows.
    hide();
}

void frmMain::mnuHideMe_Click() {
    cues_.PlaySoundCue(QStringLiteral("shrink"));
    state_.bSynchronizeWithInternetExplorer = false;
    hideClient();
}

void frmMain::mnuTrayRestore_Click() {
    // Following stays as it is: with no browser, the next tick hides the client again.
    showClient();
    cues_.PlaySoundCue(QStringLiteral("enlarge"));
}

void frmMain::Timer5_Timer() {
    if (!state_.bSynchronizeWithInternetExplorer)
        return;
    const bool shown = isVisible() && !isMinimized();
    if (!platform_.browserWindowExists()) {
        browserSeenAt_ = 0;
        if (shown)
            hideClient();
        return;
    }
    if (shown)
        return;
    // A pause before the client comes back, without holding up drops and clicks meanwhile.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (browserSeenAt_ == 0)
        browserSeenAt_ = now;
    if (now - browserSeenAt_ < kShowDelayMs)
        return;
    browserSeenAt_ = 0;
    showClient();
}

void frmMain::SuspendAlwaysOnTop() {
    if (!state_.bAlwaysOnTop)
        return;
    platform_.setTopmost(this, false);
    menus_.mnuAlwaysOnTop->setChecked(false);
}

void frmMain::RestoreAlwaysOnTop() {
    if (!state_.bAlwaysOnTop)
        return;
    platform_.setTopmost(this, true);
    menus_.mnuAlwaysOnTop->setChecked(true);
}

bool frmMain::ShowDialog(QWidget* window) {
    if (!window)
        return false;
    Timer4.stop();
    SuspendAlwaysOnTop();
    if (window->parentWidget() != this) // owned by the client (re-parenting would hide it)
        window->setParent(this, window->windowFlags() | Qt::Window);
    // Whichever way the last open one goes, the band comes back.
    if (!openDialogs_.contains(window)) {
        openDialogs_.append(window);
        window->installEventFilter(this);
    }
    window->show();
    window->raise();
    window->activateWindow();
    window->unsetCursor();
    return true;
}

void frmMain::dialogGone(QObject* window) {
    window->removeEventFilter(this);
    openDialogs_.removeAll(window);
    openDialogs_.removeAll(nullptr);
    // Not when it only went with the hidden client, nor while another is still open.
    if (openDialogs_.isEmpty() && isVisible())
        RestoreAlwaysOnTop();
}

void frmMain::followWindowManager() {
    // Where the X server has the window's inside is where it is, whatever Qt was told: some
    // window managers (XWayland's) wrap even this frameless window in a frame with margins and
    // place it without telling the window. Qt maps every drop by its own idea of the place.
    // Moving it there changes nothing on the screen; Qt learns the place.
    if (!isVisible() || isMinimized() || moving_ || dragOver_)
        return;
    const QPoint real = platform_.windowPosition(this);
    const QPoint inside = geometry().topLeft();
    if (real == inside) {
        placeSeen_.reset();
        return;
    }
    // Only a place that holds for a second tick: while a window is being mapped the X server
    // can still report where the window manager has not yet put it.
    if (placeSeen_ != real) {
        placeSeen_ = real;
        return;
    }
    placeSeen_.reset();
    move(pos() + real - inside);
}

bool frmMain::event(QEvent* event) {
    // A minimised client leaves the screen, whoever minimised it; the tray icon brings it
    // back.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        hide();
    // On a screen of another scale the pictures are drawn anew for it.
    if (event->type() == QEvent::ScreenChangeInternal)
        QTimer::singleShot(0, this, [this] { drawPictures(); });
    return QWidget::event(event);
}

} // namespace kelvane
