// Drags, drops and mouse events on the picture, the status icons and the folder labels, and
// the label hover poll.
#include "app/frmMain.h"

#include "core/Tooltips.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

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

// The widget under the cursor is this control or lies inside it.
bool covers(const QWidget* control, const QWidget* under) {
    return under && control && (under == control || control->isAncestorOf(under));
}

} // namespace

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    const ClientControls::Hit hit = controls_.hit(watched);
    if (hit.kind == ClientControls::Hit::Kind::None) {
        // A secondary window shown through ShowDialog goes.
        if (event->type() == QEvent::Hide && watched->isWidgetType() &&
            openDialogs_.contains(watched))
            dialogGone(watched);
        return QWidget::eventFilter(watched, event);
    }
    if (handleDrag(hit, event) || handleMouse(hit, watched, event))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool frmMain::handleDrag(const ClientControls::Hit& hit, QEvent* event) {
    using Kind = ClientControls::Hit::Kind;
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop &&
        type != QEvent::DragLeave)
        return false;
    // The manual save waits while a drag is over the client: it is for a drag that ended
    // without a saved file, not for one still under way.
    dragOver_ = type == QEvent::DragEnter || type == QEvent::DragMove;
    if (type == QEvent::DragLeave) // leaving keeps the pending drop and the armed timer
        return true;
    auto* drag = static_cast<QDropEvent*>(event);
    // Anything may be dropped (a drop without a file reports the failure), and it is always
    // a copy: a source that offers a move never loses its file.
    drag->setDropAction(Qt::CopyAction);
    drag->accept();
    const QMimeData* data = drag->mimeData();
    if (type == QEvent::Drop) {
        // The picture and the status icons save into the Desktop folder, a label into its
        // own folder.
        receiveDrop(hit.kind == Kind::Label ? std::int16_t(hit.index) : std::int16_t(-1), data);
        return true;
    }
    if (type == QEvent::DragEnter) // what the drag gives, asked once per control it enters
        dragFile_ = platform_.draggedFile(data);
    const bool arm = hit.kind == Kind::Picture ? drops_.Image1_OLEDragOver(dragFile_)
                     : hit.kind == Kind::Label ? drops_.Text_OLEDragOver(hit.index, dragFile_)
                                               : false;
    if (arm && !Timer4.isActive()) // setting an enabled timer's flag again changes nothing
        Timer4.start();
    return true;
}

bool frmMain::handleMouse(const ClientControls::Hit& hit, QObject* watched, QEvent* event) {
    const bool onLabel = hit.kind == ClientControls::Hit::Kind::Label;
    const bool onPicture = !onLabel;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton && onLabel) {
            showFoldersMenu();
            return true;
        }
        if (mouse->button() != Qt::LeftButton)
            return false;
        // The window has no caption: dragging the picture or a label moves it, once the
        // pointer has travelled a little with the button held, so that a tap or a
        // double-click never moves it. The window follows the pointer itself: the spot
        // pressed stays under the pointer, and a release ends the move whenever it is seen.
        pressedAt_ = mouse->globalPosition().toPoint();
        windowAtPress_ = pos();
        movePending_ = true;
        moving_ = false;
        return true;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (onLabel)
            controls_.Text1->setFocus(); // a label never keeps the focus: no caret, no typing
        if (!movePending_ || !(mouse->buttons() & Qt::LeftButton))
            return false;
        const QPoint travelled = mouse->globalPosition().toPoint() - pressedAt_;
        moving_ = moving_ || travelled.manhattanLength() >= QApplication::startDragDistance();
        if (moving_)
            move(windowAtPress_ + travelled);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            movePending_ = moving_ = false;
        if (onLabel)
            controls_.Text1->setFocus();
        if (mouse->button() == Qt::RightButton && onPicture) {
            ShowClientMenu();
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonDblClick:
        movePending_ = moving_ = false;
        if (onLabel) // the label's own folder, even before the hover poll has seen it
            folderCommands_.Text_DblClick(hit.index, this);
        else if (watched == controls_.Image1)
            Image1_DblClick();
        return onLabel || watched == controls_.Image1;
    case QEvent::FocusOut:
        if (onLabel)
            controls_.Text1->setFocus();
        return false;
    default:
        return false;
    }
}

bool frmMain::MouseIsOverControl(const QWidget* control) const {
    // The picture and the status icons count as under the cursor wherever it is: the manual
    // save relies on this, so that the cursor anywhere on the client will do.
    const auto kind = controls_.hit(control).kind;
    if (kind == ClientControls::Hit::Kind::Picture || kind == ClientControls::Hit::Kind::Icon)
        return true;
    return covers(control, QApplication::widgetAt(platform_.cursorPos()));
}

bool frmMain::MouseInsideForm(const QWidget* form) const {
    const QPoint cursor = platform_.cursorPos();
    const QRect r = form->frameGeometry();
    // Both edges count: the pixel just right of and just below the window too.
    return cursor.x() >= r.left() && cursor.x() <= r.left() + r.width() && cursor.y() >= r.top() &&
           cursor.y() <= r.top() + r.height();
}

bool frmMain::MouseIsOverLabel() const {
    const QWidget* under = QApplication::widgetAt(platform_.cursorPos());
    return std::any_of(controls_.Text.begin(), controls_.Text.end(),
                       [under](const QLineEdit* label) { return covers(label, under); });
}

void frmMain::Timer3_Timer() {
    followWindowManager(); // a window manager may have moved the window without a word
    // One look at the widget under the cursor serves all ten labels; the tick touches no disk
    // and writes a property only when it changes.
    const QWidget* under = QApplication::widgetAt(platform_.cursorPos());
    int hit = -1;
    for (int i = 0; i < int(controls_.Text.size()) && under; ++i)
        if (covers(controls_.Text[i], under))
            hit = i;
    if (hover_.Timer3_Timer(hit))
        paintLabelHighlight();
    if (const int current = hover_.highlighted(); current >= 0) {
        QLineEdit* label = controls_.Text[current];
        const QString tip = dragHereTip(folderList_.slot(current));
        if (label->toolTip() != tip)
            label->setToolTip(tip);
    }
}

void frmMain::paintLabelHighlight() {
    for (int i = 0; i < int(controls_.Text.size()); ++i)
        paint(controls_.Text[i], i == hover_.highlighted() ? kHighlight : kPlain);
}

} // namespace kelvane
