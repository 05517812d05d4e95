#pragma once

#include <QString>
#include <QWidget>

class QListWidget;

namespace kelvane {

class frmMain;

// The "History" window: the saved images, newest first. Created hidden at start-up with its
// list loaded; for now it only shows the list (docking beside the client, preview, opening and
// deleting come with the window's own commands).
class frmHistory : public QWidget {
    Q_OBJECT

public:
    explicit frmHistory(frmMain& main);

    // Reloads the history from its file, drops entries whose file is gone, shows the list.
    void Initialize(const QString& historyFile);
    // Shows the list's current entries.
    void refresh();

    QListWidget* List1 = nullptr;

private:
    frmMain& main_;
};

} // namespace kelvane
