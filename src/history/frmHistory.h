#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

class QListWidget;

namespace kelvane {

class frmMain;

// The "History" window: the saved images, newest first, docked to the left of the client.
// Created hidden at start-up with its list loaded; closing it only hides it.
class frmHistory : public QWidget {
    Q_OBJECT

public:
    explicit frmHistory(frmMain& main);

    // `Initialize`: hides the window, reloads the history from its file, drops entries whose
    // file is gone and starts the follow timer.
    void Initialize();
    // Shows the list's current entries.
    void refresh();

    QListWidget* List1 = nullptr;
    QTimer Timer1; // keeps the window docked beside the client

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Timer1_Timer();

    frmMain& main_;
};

// `ShowHistoryForm`: opens the history window beside the client; it shows up on its follow
// timer's next tick while the client is visible.
void ShowHistoryForm(frmMain& main);

} // namespace kelvane
