#pragma once

#include "ui/SizeTable.h"

#include <QPixmap>
#include <array>

class QLabel;
class QLineEdit;
class QObject;
class QProgressBar;
class QWidget;

namespace kelvane {

// The main window's controls.
struct ClientControls {
    QLabel* Image1 = nullptr;          // the drop picture
    std::array<QLabel*, 3> imgIcon{};  // status icons: 0 idle, 1 saved, 2 failed
    std::array<QLineEdit*, 10> Text{}; // the folder labels
    QLineEdit* Text1 = nullptr;        // focus sink, never seen
    QProgressBar* prgDrop = nullptr;   // a drop's file on its way, over the picture's foot
    QPixmap imgBG;                     // the client's background picture
    // The size row the window and its labels were last laid out with (the design size is
    // "MED"): a size word the program does not know keeps it.
    SizeRow row{1090, 240, 7};

    // Makes the controls on parent; filter hears the events of the picture, the status icons
    // and the labels.
    void create(QWidget& parent, QObject* filter);

    // Which control an object is, for the event handlers.
    struct Hit {
        enum class Kind { None, Picture, Icon, Label } kind = Kind::None;
        int index = -1; // the label's or the icon's index
    };
    Hit hit(const QObject* object) const;
};

} // namespace kelvane
