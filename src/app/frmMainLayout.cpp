// The client window's layout: its square, the picture, the status icons and the folder labels.
#include "app/frmMain.h"

#include "platform/Platform.h"
#include "ui/Artwork.h"

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
    drawPictures();
    const QRect picture = controls_.Image1->geometry();
    controls_.prgDrop->setGeometry(picture.left(), picture.bottom() - 5, picture.width(), 6);
}

void frmMain::drawPictures() {
    // Drawn anew for each size and screen, so nothing on the client is ever stretched.
    const QRect picture = controls_.Image1->geometry();
    const QRect icon = controls_.imgIcon[0]->geometry();
    const qreal dpr = devicePixelRatioF();
    const auto drawn = std::make_tuple(picture.size(), icon, dpr);
    if (drawn == drawnFor_)
        return;
    drawnFor_ = drawn;
    const bool background = controls_.imgBG.isNull() || showsBackground();
    controls_.imgBG = QPixmap::fromImage(
        artwork::clientPicture(picture.size(), dpr, icon.translated(-picture.topLeft())));
    if (background)
        controls_.Image1->setPixmap(controls_.imgBG);
    const artwork::Status status[] = {artwork::Status::Idle, artwork::Status::Saved,
                                      artwork::Status::Failed};
    for (int i = 0; i < 3; ++i)
        controls_.imgIcon[i]->setPixmap(
            QPixmap::fromImage(artwork::statusBadge(status[i], icon.width(), dpr)));
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
