#include "folders/LabelHover.h"

#include "app/frmMain.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QLineEdit>

namespace kelvane {
namespace {

const QColor kHighlight(255, 230, 22);
const QColor kPlain(255, 255, 255);

void paint(QLineEdit* label, const QColor& color) {
    QPalette palette = label->palette();
    if (palette.color(QPalette::Base) == color)
        return;
    palette.setColor(QPalette::Base, color);
    palette.setColor(QPalette::Window, color);
    label->setPalette(palette);
}

} // namespace

LabelHover::LabelHover(frmMain& main) : main_(main) {}

namespace {

// The widget under the cursor is this control or lies inside it.
bool covers(const QWidget* control, const QWidget* under) {
    return under && control && (under == control || control->isAncestorOf(under));
}

} // namespace

bool LabelHover::MouseIsOverControl(const QWidget* control) const {
    return covers(control, QApplication::widgetAt(main_.platform().cursorPos()));
}

bool LabelHover::MouseIsOverLabel() const {
    bool over = false;
    for (const QLineEdit* label : main_.controls().Text)
        over = MouseIsOverControl(label) || over;
    return over;
}

void LabelHover::ClearLabelHighlights() {
    setHighlight(-1);
}

void LabelHover::setHighlight(int index) {
    const auto& labels = main_.controls().Text;
    for (int i = 0; i < static_cast<int>(labels.size()); ++i)
        paint(labels[i], i == index ? kHighlight : kPlain);
    highlighted_ = index;
}

void LabelHover::Timer3_Timer() {
    // One look at the window under the cursor serves all ten labels.
    const QWidget* under = QApplication::widgetAt(main_.platform().cursorPos());
    int hit = -1;
    for (int i = 0; i < 10 && under; ++i) {
        if (covers(main_.controls().Text[i], under) && !main_.FolderList().slot(i).isEmpty())
            hit = i;
    }
    if (hit < 0) {
        if (highlighted_ != -1)
            ClearLabelHighlights();
        return;
    }
    QLineEdit* label = main_.controls().Text[hit];
    const QString tip = dragHereTip(main_.FolderList().slot(hit));
    if (label->toolTip() != tip)
        label->setToolTip(tip);
    main_.iCurrentLabel = static_cast<std::int16_t>(hit);
    if (highlighted_ != hit)
        setHighlight(hit);
}

} // namespace kelvane
