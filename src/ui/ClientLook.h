#pragma once

#include "ui/SizeTable.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <tuple>

class QWidget;

namespace kelvane {

class Platform;
struct ClientControls;

// The client's look: its size, the picture, the status icons and the folder labels laid out for
// the size chosen, and the pictures drawn for that size and screen.
class ClientLook {
public:
    ClientLook(QWidget& window, ClientControls& controls, Platform& platform);

    // `ApplyClientSize`, `ApplyLabelSize` and `ShowLabels` after any change of the list, the size
    // or the always-on-top state. An unknown size word keeps the last size laid out.
    void layOut(QString& sClientSize, const std::array<QString, 10>& folders, bool topmost);
    // The background picture and the status icons, drawn anew when the size or screen changed.
    void drawPictures();

    // Brings status icon `index` (idle, saved, failed) to the front.
    void showStatusIcon(int index);
    void showBackground();
    // True while the picture shows the background rather than a saved image.
    bool showsBackground() const;

private:
    void ApplyClientSize(const ClientLayout& layout, bool topmost);
    void ApplyLabelSize(const ClientLayout& layout);
    void ShowLabels(const ClientLayout& layout, const std::array<QString, 10>& folders);

    QWidget& window_;
    ClientControls& controls_;
    Platform& platform_;
    std::tuple<QSize, QRect, qreal> drawnFor_; // what the pictures were last drawn for
};

} // namespace kelvane
