#pragma once

#include "platform/Platform.h"
#include "platform/posix/BrowserProcesses.h"
#include "platform/x11/BrowserWindows.h"

#include <memory>

class QSystemTrayIcon;

namespace kelvane::drops {
class DropAdapter;
}

namespace kelvane {

class DirectSave;
class SelectionReader;
class XdndWatch;
class SecondStart;

// Linux/X11: Qt Widgets for windows and dialogs, EWMH through xcb for the window manager,
// PulseAudio for sound, XDG folders for files.
class X11Platform : public Platform {
public:
    X11Platform();
    ~X11Platform() override;

    Answer messageBox(QWidget* owner, const QString& text, const QString& title, Buttons buttons,
                      Icon icon) override;
    void playSoundSync(const QString& wavPath) override;
    bool anotherInstanceRunning() override;
    void onSecondStart(std::function<void(const QString&)> handler) override;
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
    void notify(const QString& text) override;
    bool browserWindowExists() override;
    void setTopmost(QWidget* window, bool topmost) override;
    void closeBoxOnly(QWidget* window) override;
    CopyResult copyFile(const QString& source, const QString& target) override;
    QString browseForFolder(QWidget* owner, const QString& title,
                            const QString& startFolder) override;
    void setBusyCursor(bool busy) override;
    bool writeAutostartEntry(const QString& argument) override;
    bool deleteAutostartEntry() override;
    QString draggedFile(const QMimeData* data) override;
    void receiveDrop(const QMimeData* data, DropHandlers handlers) override;
    QString saveFileDialog(QWidget* owner, const QString& filter, const QString& title,
                           const QString& startFolder) override;
    bool openPath(const QString& path) override;
    bool openAddress(const QString& address) override;
    bool deleteFile(const QString& path) override;
    bool canMoveToTrash(const QString& path) override;
    bool moveToTrash(const QString& path) override;
    bool createFolder(const QString& path) override;
    bool dragFileOut(QWidget* source, const QString& path) override;
    bool showDesktop() override;
    void presentWindow(QWidget* window) override;
    void onTerminationRequest(std::function<void()> handler) override;
    void onAbruptExit(std::function<void()> handler) override;

private:
    drops::DropAdapter& drops();

    // The one-copy lock's descriptor: -1 before the test, -2 when it ran without the lock.
    static constexpr int kNoLock = -1;
    int instanceLock_ = kNoLock;
    std::unique_ptr<SecondStart> laterStarts_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    std::unique_ptr<XdndWatch> drag_;
    std::unique_ptr<DirectSave> directSave_;
    std::unique_ptr<SelectionReader> selection_;
    std::unique_ptr<drops::DropAdapter> drops_;
    int busy_ = 0; // parts that asked for the busy pointer
    BrowserWindows browsers_;
    // On a Wayland session the browsers' own windows are out of sight: their processes count.
    bool waylandSession_ = false;
    BrowserProcesses browserProcesses_;
};

} // namespace kelvane
