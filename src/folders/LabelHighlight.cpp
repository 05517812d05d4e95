#include "folders/LabelHighlight.h"

#include "core/Tooltips.h"
#include "folders/FolderSlots.h"
#include "folders/LabelHover.h"
#include "ui/ClientControls.h"
#include "ui/CursorRoutines.h"
#include "ui/PointerInside.h"

#include <QLineEdit>

namespace kelvane {
namespace {

const QColor kHighlight(255, 230, 22);
const QColor kPlain(255, 255, 255);

void paintLabel(QLineEdit* label, const QColor& color) {
    QPalette palette = label->palette();
    if (palette.color(QPalette::Base) == color)
        return;
    palette.setColor(QPalette::Base, color);
    palette.setColor(QPalette::Window, color);
    label->setPalette(palette);
}

} // namespace

LabelHighlight::LabelHighlight(ClientControls& controls, LabelHover& hover,
                               const FolderSlots& folders, const PointerInside& pointer,
                               Platform& platform)
    : controls_(controls), hover_(hover), folders_(folders), pointer_(pointer),
      platform_(platform) {}

void LabelHighlight::Timer3_Timer() {
    // The tick touches no disk and writes a property only when it changes.
    const int label = pointer_.dragLabel() >= 0 ? pointer_.dragLabel()
                      : pointer_.inside()       ? labelUnderCursor(controls_, platform_)
                                                : -1;
    if (hover_.Timer3_Timer(label))
        paint();
    if (const int current = hover_.highlighted(); current >= 0) {
        QLineEdit* label = controls_.Text[current];
        const QString tip = dragHereTip(folders_.slot(current));
        if (label->toolTip() != tip)
            label->setToolTip(tip);
    }
}

void LabelHighlight::paint() {
    for (int i = 0; i < int(controls_.Text.size()); ++i)
        paintLabel(controls_.Text[i], i == hover_.highlighted() ? kHighlight : kPlain);
}

} // namespace kelvane
