#include "ui/WindowPlace.h"

#include "core/AppState.h"
#include "platform/Platform.h"
#include "ui/SizeTable.h"

#include <QEvent>
#include <QWidget>

namespace kelvane {

WindowPlace::WindowPlace(QWidget& window, Platform& platform, AppState& state,
                         std::function<bool()> held)
    : window_(window), platform_(platform), state_(state), held_(std::move(held)) {
    // Some window managers (XWayland's) place the window after it is mapped without telling
    // it; a look a few times a second while it is on the screen finds that out.
    poll_.setInterval(250);
    connect(&poll_, &QTimer::timeout, this, [this] { followWindowManager(); });
    window_.installEventFilter(this);
}

void WindowPlace::apply() {
    window_.move(twipsToPixels(state_.WindowLeft), twipsToPixels(state_.WindowTop));
}

void WindowPlace::store() {
    storeAt(platform_.windowPosition(&window_));
}

void WindowPlace::storeAt(QPoint at) {
    // The twips survive unchanged while the window stays on the pixel they round to.
    if (at.x() != twipsToPixels(state_.WindowLeft))
        state_.WindowLeft = at.x() * kTwipsPerPixel;
    if (at.y() != twipsToPixels(state_.WindowTop))
        state_.WindowTop = at.y() * kTwipsPerPixel;
}

bool WindowPlace::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_)
        return false;
    switch (event->type()) {
    case QEvent::Move:
        moved(event->spontaneous());
        break;
    case QEvent::Show:
        placeSeen_.reset();
        poll_.start();
        break;
    case QEvent::Hide:
        poll_.stop();
        break;
    default:
        break;
    }
    return false;
}

void WindowPlace::moved(bool spontaneous) {
    // Only where the window really is counts: a window not on the screen keeps the position
    // it was given.
    if (!window_.isVisible() || window_.isMinimized())
        return;
    // Qt can be told a wrong place while the window is being mapped; it then learns the real
    // one. (The program's own moves are on their way to the window manager: nothing to
    // compare yet.)
    const QPoint real = platform_.windowPosition(&window_);
    if (spontaneous && real != window_.pos()) {
        window_.move(real);
        return;
    }
    store();
}

void WindowPlace::followWindowManager() {
    // Where the X server has the window's inside is where it is, whatever Qt was told: some
    // window managers wrap even this frameless window in a frame with margins. Moving it there
    // changes nothing on the screen; Qt learns the place.
    if (!window_.isVisible() || window_.isMinimized() || held_())
        return;
    const QPoint real = platform_.windowPosition(&window_);
    const QPoint inside = window_.geometry().topLeft();
    if (real == inside) {
        // The window manager has done what it was asked: the settings take the place. (At the
        // program's own move the X server still had the old one.)
        placeSeen_.reset();
        storeAt(real);
        return;
    }
    // Only a place that holds for a second look: while a window is being mapped the X server
    // can still report where the window manager has not yet put it.
    if (placeSeen_ != real) {
        placeSeen_ = real;
        return;
    }
    placeSeen_.reset();
    window_.move(window_.pos() + real - inside);
}

} // namespace kelvane
