#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

class QListWidget;

namespace kelvane {

struct AppState;
class HistoryList;
class SoundCues;

// The "History" window: the saved images, newest first, docked to the left of the client
// window it follows. Created hidden at start-up with its list loaded; closing it only hides it.
class frmHistory : public QWidget {
    Q_OBJECT

public:
    frmHistory(QWidget& client, HistoryList& list, AppState& state, SoundCues& cues,
               QString historyFile);

    // `Initialize`: hides the window, reloads the history from its file, drops entries whose
    // file is gone and starts the follow timer.
    void Initialize();
    // Shows the list's current entries.
    void refresh();
    // Puts the window at its docked place beside the client.
    void dock();

    QListWidget* List1 = nullptr;
    QTimer Timer1; // keeps the window docked beside the client

Q_SIGNALS:
    // The user closed the window.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Timer1_Timer();

    QWidget& client_;
    HistoryList& list_;
    AppState& state_;
    SoundCues& cues_;
    QString historyFile_;
};

} // namespace kelvane
