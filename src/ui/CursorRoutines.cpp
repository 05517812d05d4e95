#include "ui/CursorRoutines.h"

#include "platform/Platform.h"
#include "ui/ClientControls.h"

#include <QApplication>
#include <QLineEdit>

namespace kelvane {
namespace {

bool covers(const QWidget* control, const QWidget* under) {
    return under && control && (under == control || control->isAncestorOf(under));
}

} // namespace

bool MouseIsOverControl(const ClientControls& controls, Platform& platform,
                        const QWidget* control) {
    const auto kind = controls.hit(control).kind;
    if (kind == ClientControls::Hit::Kind::Picture || kind == ClientControls::Hit::Kind::Icon)
        return true;
    return covers(control, QApplication::widgetAt(platform.cursorPos()));
}

bool MouseIsOverLabel(const ClientControls& controls, Platform& platform) {
    return labelUnderCursor(controls, platform) >= 0;
}

int labelUnderCursor(const ClientControls& controls, Platform& platform) {
    // One look at the widget under the cursor serves all ten labels.
    const QWidget* under = QApplication::widgetAt(platform.cursorPos());
    for (int i = 0; i < int(controls.Text.size()) && under; ++i)
        if (covers(controls.Text[i], under))
            return i;
    return -1;
}

} // namespace kelvane
