#pragma once

#include "ui/SizeTable.h"

#include <QWidget>
#include <algorithm>

namespace kelvane {

// Puts a dialog's controls at their designed places, given in twips. Where the desktop's font
// needs more room than the design gives, the whole dialog is drawn larger by one factor, so
// that every text fits and the controls keep their places relative to each other.
class DesignPlacement {
public:
    // Counts a control whose text must fit in its designed width.
    void fit(const QWidget* control, int widthTwips) {
        const double room = twipsToPixels(widthTwips);
        if (room > 0)
            scale_ = std::clamp(control->sizeHint().width() / room, scale_, kMaxScale);
    }
    void place(QWidget* control, int left, int top, int width, int height) const {
        control->setGeometry(px(left), px(top), px(width),
                             std::max(px(height), control->sizeHint().height()));
    }
    void size(QWidget* dialog, int width, int height) const {
        dialog->setFixedSize(px(width), px(height));
    }
    double scale() const { return scale_; }

private:
    static constexpr double kMaxScale = 3.0;
    int px(int twips) const { return twipsToPixels(twips * scale_); }
    double scale_ = 1.0;
};

} // namespace kelvane
