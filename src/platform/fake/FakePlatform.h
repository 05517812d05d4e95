#pragma once

#include "platform/Platform.h"

#include <QMap>
#include <QStringList>
#include <deque>

namespace kelvane {

// A scriptable platform for tests: it answers from a script and records every call in
// `calls`, one line each ("messageBox: <title>: <text>", "sound: <path>", ...).
class FakePlatform : public Platform {
public:
    struct MessageBoxCall {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
    };

    // Script.
    std::deque<Answer> messageBoxAnswers; // taken front first; Ok / No when empty
    bool otherInstance = false;
    QString commandLineText;
    QMap<SpecialFolder, QString> specialFolders;
    QString home;
    QString resources;
    QString state;
    Version versionNumbers{1, 1, 24};
    QSize screen{1920, 1080};
    QPoint cursor;

    // Runs while a message box is "open", before it answers (to test what happens meanwhile).
    std::function<void(const MessageBoxCall&)> whileMessageBoxOpen;
    // Runs while a sound "plays", and while the tray icon is being removed.
    std::function<void(const QString& wavPath)> whileSoundPlays;
    std::function<void()> whileTrayIconGoes;
    std::deque<QString> folderDialogAnswers; // taken front first; cancel when empty
    bool copyFails = false;
    bool browserOpen = true; // a browser window is open (following shows the client)
    std::function<void(const QMimeData*, DropHandlers)> dropScript;
    std::deque<QString> saveDialogAnswers;
    bool saveDialogThrows = false;
    std::function<void()> whileSaveDialogOpen;
    bool autostartFails = false;
    bool openSucceeds = true;
    bool showDesktopSucceeds = true;
    bool noTrash = false; // no Trash can take any file

    // Record.
    QStringList calls;
    QList<MessageBoxCall> messageBoxes;
    QStringList soundsPlayed;
    bool trayShown = false;
    std::function<void(TrayEvent)> trayHandler;
    bool busy = false; // some part asked for the busy pointer
    int busyCount = 0;
    bool autostartWritten = false;
    QMap<QWidget*, bool> topmost;
    std::function<void()> terminationHandler;
    std::function<void(const QString&)> secondStartHandler;
    std::function<void()> abruptExitHandler;

    Answer messageBox(QWidget* owner, const QString& text, const QString& title, Buttons buttons,
                      Icon icon) override;
    void playSoundSync(const QString& wavPath) override;
    bool anotherInstanceRunning() override;
    void onSecondStart(std::function<void(const QString&)> handler) override {
        secondStartHandler = std::move(handler);
    }
    QString commandLine() override;
    QString specialFolder(SpecialFolder id) override;
    QString homeFolder() override;
    QString resourceFolder() override;
    QString stateFolder() override;
    Version version() override;
    QSize screenSize() override;
    QPoint cursorPos() override;
    QPoint windowPosition(QWidget* window) override;
    void addTrayIcon(const QIcon& icon, const QString& tip,
                     std::function<void(TrayEvent)> onEvent) override;
    void removeTrayIcon() override;
    bool trayIconVisible() override;
    void notify(const QString& text) override { calls << QStringLiteral("notify: ") + text; }
    bool browserWindowExists() override { return browserOpen; }
    void setTopmost(QWidget* window, bool on) override;
    void closeBoxOnly(QWidget*) override {}
    // Copies for real (tests look at the files); `copyFails` makes the next copies fail.
    CopyResult copyFile(const QString& source, const QString& target) override;
    QString browseForFolder(QWidget* owner, const QString& title,
                            const QString& startFolder) override;
    void setBusyCursor(bool busy) override;
    bool writeAutostartEntry(const QString& argument) override;
    bool deleteAutostartEntry() override;
    // The drag's local file; dropScript, when set, answers a drop instead (to deliver a file
    // later, as a browser drop does).
    QString draggedFile(const QMimeData* data) override;
    void receiveDrop(const QMimeData* data, DropHandlers handlers) override;
    // Answers from saveDialogAnswers (cancel when empty); throws when saveDialogThrows.
    QString saveFileDialog(QWidget* owner, const QString& filter, const QString& title,
                           const QString& startFolder) override;
    bool openPath(const QString& path) override;
    bool openAddress(const QString& address) override;
    // Files and folders are removed and made for real.
    bool deleteFile(const QString& path) override;
    bool createFolder(const QString& path) override;
    // The real Trash of the test's home, unless noTrash.
    bool canMoveToTrash(const QString& path) override;
    bool moveToTrash(const QString& path) override;
    // Records the drag; a target always takes it.
    bool dragFileOut(QWidget* source, const QString& path) override;
    bool showDesktop() override;
    void presentWindow(QWidget* window) override;
    void onTerminationRequest(std::function<void()> handler) override;
    void onAbruptExit(std::function<void()> handler) override;
};

} // namespace kelvane
