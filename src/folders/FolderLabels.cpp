#include "folders/FolderLabels.h"

#include "folders/FolderSlots.h"
#include "ui/ClientControls.h"
#include "ui/WindowLayout.h"

#include <QLineEdit>
#include <QWidget>

namespace kelvane {

void ShowLabels(AppState& state, ClientControls& c, const FolderSlots& folders,
                Platform& platform) {
    ApplyClientSize(state, c, platform);
    const ClientLayout layout = layoutClient(c.row, folders.raw());
    for (int i = 0; i < FolderSlots::kCount; ++i) {
        QLineEdit* label = c.Text[i];
        if (label->text() != folders.slot(i)) {
            label->setText(folders.slot(i));
            label->setCursorPosition(0);
        }
        QRect r = toPixels(layout.labels[i].rect);
        r.setWidth(c.window->width() + 1); // from one pixel left of the window to its right edge
        label->setGeometry(r);
        label->setVisible(layout.labels[i].visible);
    }
    c.window->setFixedSize(toPixels(layout.window).size());
}

} // namespace kelvane
