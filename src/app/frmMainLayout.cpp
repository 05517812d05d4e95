// The client window's layout: its square, the picture, the status icons and the folder labels.
#include "app/frmMain.h"

#include "platform/Platform.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace kelvane {

void frmMain::layOutClient() {
    controls_.row = resolveSizeRow(state_.sClientSize, controls_.row);
    const ClientLayout layout = layoutClient(controls_.row, folderList_.raw());
    ApplyClientSize(layout);
    ApplyLabelSize(layout);
    ShowLabels(layout);
}

void frmMain::ApplyClientSize(const ClientLayout& layout) {
    setFixedSize(toPixels(layout.picture).size());
    controls_.Image1->setGeometry(toPixels(layout.picture));
    platform_.setTopmost(this, state_.bAlwaysOnTop);
    for (QLabel* icon : controls_.imgIcon)
        icon->setGeometry(toPixels(layout.statusIcon));
    const QRect picture = controls_.Image1->geometry();
    controls_.prgDrop->setGeometry(picture.left(), picture.bottom() - 5, picture.width(), 6);
}

void frmMain::ApplyLabelSize(const ClientLayout& layout) {
    for (QLineEdit* label : controls_.Text) {
        QFont font = label->font();
        font.setPointSize(layout.labelFontPt);
        label->setFont(font);
    }
}

void frmMain::ShowLabels(const ClientLayout& layout) {
    for (int i = 0; i < FolderSlots::kCount; ++i) {
        QLineEdit* label = controls_.Text[i];
        // A path too long for the label shows its end, the folder's own name; the text stays
        // the whole path.
        if (label->text() != folderList_.slot(i))
            label->setText(folderList_.slot(i));
        label->end(false);
        QRect r = toPixels(layout.labels[i].rect);
        r.setWidth(width() + 1); // from one pixel left of the window to its right edge
        label->setGeometry(r);
        label->setVisible(layout.labels[i].visible);
    }
    setFixedSize(toPixels(layout.window).size());
}

} // namespace kelvane
