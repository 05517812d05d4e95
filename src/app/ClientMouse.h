#pragma once

#include "ui/ClientControls.h"

#include <functional>

class QEvent;
class QWidget;

namespace kelvane {

class FolderCommands;
class HistoryList;
class Platform;
class SaveFeedback;
class WindowDrag;
struct MainMenus;

// The mouse on the client's picture, status icons and labels: the left button drags the
// window, the right one opens the menus, a double-click opens the newest picture or a label's
// folder, and a label never keeps the focus.
class ClientMouse {
public:
    struct Actions {
        std::function<void()> layOut;     // a label went
        std::function<void()> showClient; // back on the desktop the picture showed
    };
    ClientMouse(QWidget& client, Platform& platform, ClientControls& controls,
                const MainMenus& menus, WindowDrag& drag, FolderCommands& folders,
                SaveFeedback& feedback, const HistoryList& history, Actions actions);

    // A mouse or focus event on a control of the client; true when it was used up.
    bool handle(const ClientControls::Hit& hit, QEvent* event);
    // The label whose "Folders" menu was opened last, -1 for none.
    int folderMenuLabel() const { return folderMenuLabel_; }

private:
    void showFoldersMenu(int label);

    QWidget& client_;
    Platform& platform_;
    ClientControls& controls_;
    const MainMenus& menus_;
    WindowDrag& drag_;
    FolderCommands& folders_;
    SaveFeedback& feedback_;
    const HistoryList& history_;
    Actions actions_;
    int folderMenuLabel_ = -1;
};

} // namespace kelvane
