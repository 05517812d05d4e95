#pragma once

#include <QPoint>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <optional>

class QAction;
class QListView;
class QMenu;

namespace kelvane {

struct AppState;
class HistoryList;
class Platform;
class SoundCues;

// The "History" window: the saved images, newest first, docked to the left of the client
// window it follows. A click previews an entry in the client, a double-click opens it, the
// right button offers to open it, forget it or delete its file, and an entry dragged out is
// a copy of its file. Created hidden at start-up with its list loaded; closing it only hides
// it.
class frmHistory : public QWidget {
    Q_OBJECT

public:
    frmHistory(QWidget& client, HistoryList& list, AppState& state, SoundCues& cues,
               Platform& platform, QString historyFile);

    // `Initialize`: hides the window, reloads the history from its file, drops entries whose
    // file is gone and starts the follow timer.
    void Initialize();
    // `ResizeAll`: the list fills the width, less a narrow strip, at its fixed height.
    void ResizeAll();
    // Puts the window at its docked place beside the client.
    void dock();
    // The selected entry, empty when none is selected.
    QString selectedEntry() const;

    // `OpenSelectedItem`: the selected file with its default application.
    void OpenSelectedItem();
    // `RemoveSelectedItemFromHistoryList`: forgets the selected entry and writes the history.
    void RemoveSelectedItemFromHistoryList();
    // The three commands of the pop-up menu.
    void mnuOpen_Click();
    void mnuDelete_Click();
    void mnuDeleteFromDisk_Click();

    QListView* List1 = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuDeleteFromDisk = nullptr;
    QTimer Timer1; // keeps the window docked beside the client

Q_SIGNALS:
    // The user closed the window.
    void closed();
    // The client is to show this saved picture, with its idle status icon.
    void previewRequested(const QString& path);
    // The client's picture is to go back to its background in a while (its reset timer).
    void clientResetDue();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Timer1_Timer();
    void List1_Click();
    void List1_MouseUp(QPoint at);
    void createMenu();

    QWidget& client_;
    HistoryList& list_;
    AppState& state_;
    SoundCues& cues_;
    Platform& platform_;
    QString historyFile_;
    std::optional<QPoint> pressedAt_; // where a left press on an entry began
};

} // namespace kelvane
