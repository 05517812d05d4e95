#pragma once

#include "ui/SizeTable.h"

#include <QWidget>
#include <algorithm>

namespace kelvane {

// Puts a control of a dialog at its designed place, given in twips. Where the desktop's font
// needs more room than the design gives, the control grows to the right and downwards from
// that place so that its text is never cut; it is never made smaller.
inline void placeControl(QWidget* control, int left, int top, int width, int height) {
    const QSize needed = control->sizeHint();
    control->setGeometry(twipsToPixels(left), twipsToPixels(top),
                         std::max(twipsToPixels(width), needed.width()),
                         std::max(twipsToPixels(height), needed.height()));
}

} // namespace kelvane
