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
    std::deque<QString> folderDialogAnswers; // taken front first; cancel when empty
    bool copyFails = false;
    bool openSucceeds = true;
    bool showDesktopSucceeds = true;

    // Record.
    QStringList calls;
    QList<MessageBoxCall> messageBoxes;
    QStringList soundsPlayed;
    bool trayShown = false;
    std::function<void(int)> trayHandler;
    QMap<QWidget*, bool> topmost;
    std::function<void()> terminationHandler;
    std::function<void()> abruptExitHandler;

    Answer messageBox(QWidget* owner, const QString& text, const QString& title, Buttons buttons,
                      Icon icon) override;
    void playSoundSync(const QString& wavPath) override;
    bool anotherInstanceRunning() override;
    QString commandLine() override;
    QString specialFolder(SpecialFolder id) override;
    QString homeFolder() override;
    QString resourceFolder() override;
    QString stateFolder() override;
    Version version() override;
    QSize screenSize() override;
    QPoint cursorPos() override;
    void addTrayIcon(const QIcon& icon, const QString& tip,
                     std::function<void(int code)> onNotify) override;
    void removeTrayIcon() override;
    bool trayIconVisible() override;
    void setTopmost(QWidget* window, bool on) override;
    // Copies for real (tests look at the files); `copyFails` makes the next copies fail.
    CopyResult copyFile(const QString& source, const QString& target) override;
    QString browseForFolder(QWidget* owner, const QString& title,
                            const QString& startFolder) override;
    bool openPath(const QString& path) override;
    bool showDesktop() override;
    void beginWindowMove(QWidget* window) override;
    void onTerminationRequest(std::function<void()> handler) override;
    void onAbruptExit(std::function<void()> handler) override;
};

} // namespace kelvane
