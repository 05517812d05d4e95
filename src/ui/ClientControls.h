#pragma once

#include "ui/SizeTable.h"

#include <QPixmap>
#include <array>

class QLabel;
class QLineEdit;
class QWidget;

namespace kelvane {

// The main window's controls, as the layout, label and save routines see them.
struct ClientControls {
    QWidget* window = nullptr;
    QLabel* Image1 = nullptr;          // the drop picture
    std::array<QLabel*, 3> imgIcon{};  // status icons: 0 idle, 1 saved, 2 failed
    std::array<QLineEdit*, 10> Text{}; // the folder labels
    QLineEdit* Text1 = nullptr;        // focus sink, never seen
    QPixmap imgBG;                     // the client's background picture
    // The size row the window and its labels were last laid out with (the design size is
    // "MED"): a size word the program does not know keeps it.
    SizeRow row{1090, 240, 7};
};

} // namespace kelvane
