#include "ui/ClientLook.h"

#include "platform/Platform.h"
#include "ui/Artwork.h"
#include "ui/ClientControls.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace kelvane {

ClientLook::ClientLook(QWidget& window, ClientControls& controls, Platform& platform)
    : window_(window), controls_(controls), platform_(platform) {}

void ClientLook::layOut(QString& sClientSize, const std::array<QString, 10>& folders,
                        bool topmost) {
    controls_.row = resolveSizeRow(sClientSize, controls_.row);
    const ClientLayout layout = layoutClient(controls_.row, folders);
    ApplyClientSize(layout, topmost);
    ApplyLabelSize(layout);
    ShowLabels(layout, folders);
}

void ClientLook::ApplyClientSize(const ClientLayout& layout, bool topmost) {
    window_.setFixedSize(toPixels(layout.picture).size());
    controls_.Image1->setGeometry(toPixels(layout.picture));
    platform_.setTopmost(&window_, topmost);
    for (QLabel* icon : controls_.imgIcon)
        icon->setGeometry(toPixels(layout.statusIcon));
    drawPictures();
    const QRect picture = controls_.Image1->geometry();
    controls_.prgDrop->setGeometry(picture.left(), picture.bottom() - 5, picture.width(), 6);
}

void ClientLook::drawPictures() {
    // Drawn anew for each size and screen, so nothing on the client is ever stretched.
    const QRect picture = controls_.Image1->geometry();
    const QRect icon = controls_.imgIcon[0]->geometry();
    const qreal dpr = window_.devicePixelRatioF();
    const auto drawn = std::make_tuple(picture.size(), icon, dpr);
    if (drawn == drawnFor_)
        return;
    drawnFor_ = drawn;
    const bool background = controls_.imgBG.isNull() || showsBackground();
    controls_.imgBG = QPixmap::fromImage(
        artwork::clientPicture(picture.size(), dpr, icon.translated(-picture.topLeft())));
    if (background)
        showBackground();
    const artwork::Status status[] = {artwork::Status::Idle, artwork::Status::Saved,
                                      artwork::Status::Failed};
    for (int i = 0; i < 3; ++i)
        controls_.imgIcon[i]->setPixmap(
            QPixmap::fromImage(artwork::statusBadge(status[i], icon.width(), dpr)));
}

void ClientLook::ApplyLabelSize(const ClientLayout& layout) {
    for (QLineEdit* label : controls_.Text) {
        QFont font = label->font();
        font.setPointSize(layout.labelFontPt);
        label->setFont(font);
    }
}

void ClientLook::ShowLabels(const ClientLayout& layout, const std::array<QString, 10>& folders) {
    for (int i = 0; i < int(folders.size()); ++i) {
        QLineEdit* label = controls_.Text[i];
        // A path too long for the label shows its end, the folder's own name; the text stays
        // the whole path.
        if (label->text() != folders[i])
            label->setText(folders[i]);
        label->end(false);
        QRect r = toPixels(layout.labels[i].rect);
        r.setWidth(window_.width() + 1); // from one pixel left of the window to its right edge
        label->setGeometry(r);
        label->setVisible(layout.labels[i].visible);
    }
    window_.setFixedSize(toPixels(layout.window).size());
}

void ClientLook::showStatusIcon(int index) {
    // The icon comes to the front; the ones behind it are hidden, or their soft edges would
    // show around it. (Drops and clicks there reach the picture underneath, as they would the
    // icon.)
    for (int i = 0; i < int(controls_.imgIcon.size()); ++i)
        controls_.imgIcon[i]->setVisible(i == index);
    controls_.imgIcon[index]->raise();
}

void ClientLook::showBackground() {
    controls_.Image1->setPixmap(controls_.imgBG);
}

bool ClientLook::showsBackground() const {
    return controls_.Image1->pixmap().cacheKey() == controls_.imgBG.cacheKey();
}

} // namespace kelvane
