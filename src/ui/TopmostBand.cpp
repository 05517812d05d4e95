#include "ui/TopmostBand.h"

#include "core/AppState.h"
#include "platform/Platform.h"

#include <QAction>
#include <QEvent>
#include <QWidget>

namespace kelvane {

TopmostBand::TopmostBand(QWidget& client, Platform& platform, const AppState& state,
                         QAction* mnuAlwaysOnTop, std::function<void()> beforeDialog)
    : client_(client), platform_(platform), state_(state), mnuAlwaysOnTop_(mnuAlwaysOnTop),
      beforeDialog_(std::move(beforeDialog)) {}

void TopmostBand::SuspendAlwaysOnTop() {
    if (!state_.bAlwaysOnTop)
        return;
    platform_.setTopmost(&client_, false);
    mnuAlwaysOnTop_->setChecked(false);
}

void TopmostBand::RestoreAlwaysOnTop() {
    if (!state_.bAlwaysOnTop)
        return;
    platform_.setTopmost(&client_, true);
    mnuAlwaysOnTop_->setChecked(true);
}

bool TopmostBand::inBand() const {
    return state_.bAlwaysOnTop && mnuAlwaysOnTop_->isChecked();
}

bool TopmostBand::ShowDialog(QWidget* window) {
    if (!window)
        return false;
    beforeDialog_();
    SuspendAlwaysOnTop();
    if (window->parentWidget() != &client_) // owned by the client (re-parenting would hide it)
        window->setParent(&client_, window->windowFlags() | Qt::Window);
    // Whichever way the last open one goes, the band comes back.
    if (!openDialogs_.contains(window)) {
        openDialogs_.append(window);
        window->installEventFilter(this);
    }
    // A new window opens over the middle of the client, where the window system has it.
    if (!window->isVisible())
        window->move(platform_.windowPosition(&client_) + client_.rect().center() -
                     window->rect().center());
    // Open already, perhaps minimised: it comes forward.
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    platform_.presentWindow(window);
    window->unsetCursor();
    return true;
}

bool TopmostBand::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && openDialogs_.contains(watched))
        dialogGone(watched);
    return false;
}

void TopmostBand::dialogGone(QObject* window) {
    window->removeEventFilter(this);
    openDialogs_.removeAll(window);
    openDialogs_.removeAll(nullptr);
    // Not when it only went with the hidden client, nor while another is still open.
    if (openDialogs_.isEmpty() && client_.isVisible())
        RestoreAlwaysOnTop();
}

} // namespace kelvane
