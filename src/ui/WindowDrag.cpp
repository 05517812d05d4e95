#include "ui/WindowDrag.h"

#include <QApplication>
#include <QWidget>

namespace kelvane {

void WindowDrag::press(QPoint globalPos) {
    pressedAt_ = globalPos;
    windowAtPress_ = window_.pos();
    pending_ = true;
    moving_ = false;
}

bool WindowDrag::move(QPoint globalPos, bool leftHeld) {
    if (!pending_ || !leftHeld)
        return false;
    const QPoint travelled = globalPos - pressedAt_;
    moving_ = moving_ || travelled.manhattanLength() >= QApplication::startDragDistance();
    if (moving_)
        window_.move(windowAtPress_ + travelled);
    return true;
}

} // namespace kelvane
