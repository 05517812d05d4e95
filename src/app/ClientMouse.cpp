#include "app/ClientMouse.h"

#include "app/MainMenus.h"
#include "folders/FolderCommands.h"
#include "history/HistoryList.h"
#include "platform/Platform.h"
#include "saving/SaveFeedback.h"
#include "ui/WindowDrag.h"

#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

namespace kelvane {
namespace {

constexpr int kBackOnTheDesktopMs = 300;

} // namespace

ClientMouse::ClientMouse(QWidget& client, Platform& platform, ClientControls& controls,
                         const MainMenus& menus, WindowDrag& drag, FolderCommands& folders,
                         SaveFeedback& feedback, const HistoryList& history, Actions actions)
    : client_(client), platform_(platform), controls_(controls), menus_(menus), drag_(drag),
      folders_(folders), feedback_(feedback), history_(history), actions_(std::move(actions)) {}

bool ClientMouse::handle(const ClientControls::Hit& hit, QEvent* event) {
    if (hit.kind == ClientControls::Hit::Kind::None)
        return false;
    const bool onLabel = hit.kind == ClientControls::Hit::Kind::Label;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::RightButton && onLabel) {
            showFoldersMenu(hit.index);
            return true;
        }
        if (mouse->button() == Qt::LeftButton)
            drag_.press(mouse->globalPosition().toPoint());
        return mouse->button() == Qt::LeftButton;
    case QEvent::MouseMove:
        if (onLabel)
            controls_.Text1->setFocus(); // a label never keeps the focus: no caret, no typing
        return drag_.move(mouse->globalPosition().toPoint(), mouse->buttons() & Qt::LeftButton);
    case QEvent::MouseButtonRelease:
        if (mouse->button() == Qt::LeftButton)
            drag_.release();
        if (onLabel)
            controls_.Text1->setFocus();
        if (mouse->button() == Qt::RightButton && !onLabel) {
            menus_.mnuFile->exec(platform_.cursorPos());
            return true;
        }
        return false;
    case QEvent::MouseButtonDblClick:
        drag_.release();
        if (onLabel) { // the label's own folder, even before the hover poll has seen it
            if (folders_.Text_DblClick(hit.index, &client_))
                actions_.layOut(); // its folder had gone: the label goes
        } else if (hit.kind == ClientControls::Hit::Kind::Picture &&
                   feedback_.Image1_DblClick(history_.entries().value(0)))
            // The desktop is shown for the user to drop on: the client comes back onto it
            // once the window manager has cleared the screen.
            QTimer::singleShot(kBackOnTheDesktopMs, &client_, actions_.showClient);
        return onLabel || hit.kind == ClientControls::Hit::Kind::Picture;
    case QEvent::FocusOut:
        if (onLabel)
            controls_.Text1->setFocus();
        return false;
    default:
        return false;
    }
}

void ClientMouse::showFoldersMenu(int label) {
    folderMenuLabel_ = label; // the label clicked, whatever the hover poll saw last
    for (QLineEdit* label : controls_.Text)
        label->setEnabled(false);
    menus_.mnuFolders->exec(platform_.cursorPos());
    for (QLineEdit* label : controls_.Text)
        label->setEnabled(true);
}

} // namespace kelvane
