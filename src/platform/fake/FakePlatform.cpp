#include "platform/fake/FakePlatform.h"

#include "platform/drops/FileList.h"
#include "platform/posix/FileCopy.h"
#include "platform/posix/FileOps.h"

#include <QWidget>
#include <stdexcept>

namespace kelvane {

Platform::Answer FakePlatform::messageBox(QWidget*, const QString& text, const QString& title,
                                          Buttons buttons, Icon icon) {
    calls << QStringLiteral("messageBox: %1: %2").arg(title, text);
    messageBoxes.append({text, title, buttons, icon});
    if (whileMessageBoxOpen)
        whileMessageBoxOpen(messageBoxes.last());
    if (!messageBoxAnswers.empty()) {
        const Answer answer = messageBoxAnswers.front();
        messageBoxAnswers.pop_front();
        return answer;
    }
    return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
}

void FakePlatform::playSoundSync(const QString& wavPath) {
    calls << QStringLiteral("sound: ") + wavPath;
    soundsPlayed << wavPath;
    if (whileSoundPlays)
        whileSoundPlays(wavPath);
}

bool FakePlatform::anotherInstanceRunning() {
    calls << QStringLiteral("anotherInstanceRunning");
    return otherInstance;
}

QString FakePlatform::commandLine() {
    return commandLineText;
}
QString FakePlatform::specialFolder(SpecialFolder id) {
    return specialFolders.value(id);
}
QString FakePlatform::homeFolder() {
    return home;
}
QString FakePlatform::resourceFolder() {
    return resources;
}
QString FakePlatform::stateFolder() {
    return state;
}
Platform::Version FakePlatform::version() {
    return versionNumbers;
}
QSize FakePlatform::screenSize() {
    return screen;
}
QPoint FakePlatform::windowPosition(QWidget* window) {
    return window->pos();
}
QPoint FakePlatform::cursorPos() {
    return cursor;
}

void FakePlatform::addTrayIcon(const QIcon&, const QString& tip,
                               std::function<void(TrayEvent)> onEvent) {
    calls << QStringLiteral("addTrayIcon: ") + tip;
    trayShown = true;
    trayHandler = std::move(onEvent);
}

void FakePlatform::removeTrayIcon() {
    calls << QStringLiteral("removeTrayIcon");
    if (whileTrayIconGoes)
        whileTrayIconGoes();
    trayShown = false;
}

bool FakePlatform::trayIconVisible() {
    return trayShown;
}

void FakePlatform::setTopmost(QWidget* window, bool on) {
    calls << QStringLiteral("setTopmost: %1").arg(on ? "on" : "off");
    topmost[window] = on;
}

CopyResult FakePlatform::copyFile(const QString& source, const QString& target) {
    calls << QStringLiteral("copyFile: %1 -> %2").arg(source, target);
    if (copyFails)
        return {false, QStringLiteral("scripted failure")};
    return copyFileAtomically(source, target);
}

QString FakePlatform::browseForFolder(QWidget*, const QString& title, const QString& startFolder) {
    calls << QStringLiteral("browseForFolder: %1: %2").arg(title, startFolder);
    if (folderDialogAnswers.empty())
        return {};
    const QString answer = folderDialogAnswers.front();
    folderDialogAnswers.pop_front();
    return answer;
}

void FakePlatform::setBusyCursor(bool on) {
    calls << QStringLiteral("setBusyCursor: %1").arg(on ? "on" : "off");
    busyCount += on ? 1 : (busyCount > 0 ? -1 : 0);
    busy = busyCount > 0;
}

bool FakePlatform::writeAutostartEntry(const QString& argument) {
    calls << QStringLiteral("writeAutostartEntry: ") + argument;
    if (autostartFails)
        return false;
    autostartWritten = true;
    return true;
}

bool FakePlatform::deleteAutostartEntry() {
    calls << QStringLiteral("deleteAutostartEntry");
    if (autostartFails)
        return false;
    autostartWritten = false;
    return true;
}

QString FakePlatform::draggedFile(const QMimeData* data) {
    return drops::firstLocalFile(data);
}

void FakePlatform::receiveDrop(const QMimeData* data, DropHandlers handlers) {
    calls << QStringLiteral("receiveDrop");
    if (dropScript)
        return dropScript(data, std::move(handlers));
    const QString file = drops::firstLocalFile(data);
    handlers.done(file, file.isEmpty() ? QStringLiteral("no file") : QString());
}

QString FakePlatform::saveFileDialog(QWidget*, const QString& filter, const QString& title,
                                     const QString& startFolder) {
    calls << QStringLiteral("saveFileDialog: %1: %2: %3").arg(title, filter, startFolder);
    if (saveDialogThrows)
        throw std::runtime_error("scripted failure of the save dialog");
    if (whileSaveDialogOpen)
        whileSaveDialogOpen();
    if (saveDialogAnswers.empty())
        return {};
    const QString answer = saveDialogAnswers.front();
    saveDialogAnswers.pop_front();
    return answer;
}

bool FakePlatform::openPath(const QString& path) {
    calls << QStringLiteral("openPath: ") + path;
    return openSucceeds;
}

bool FakePlatform::openAddress(const QString& address) {
    calls << QStringLiteral("openAddress: ") + address;
    return openSucceeds;
}

bool FakePlatform::deleteFile(const QString& path) {
    calls << QStringLiteral("deleteFile: ") + path;
    return removeFile(path);
}

bool FakePlatform::canMoveToTrash(const QString& path) {
    return !noTrash && trashCanTake(path);
}

bool FakePlatform::moveToTrash(const QString& path) {
    calls << QStringLiteral("moveToTrash: ") + path;
    return !noTrash && trashFile(path);
}

bool FakePlatform::createFolder(const QString& path) {
    calls << QStringLiteral("createFolder: ") + path;
    return makeFolder(path);
}

bool FakePlatform::dragFileOut(QWidget*, const QString& path) {
    calls << QStringLiteral("dragFileOut: ") + path;
    return true;
}

bool FakePlatform::showDesktop() {
    calls << QStringLiteral("showDesktop");
    return showDesktopSucceeds;
}

void FakePlatform::presentWindow(QWidget* window) {
    calls << QStringLiteral("presentWindow");
    window->raise();
    window->activateWindow();
}

void FakePlatform::onAbruptExit(std::function<void()> handler) {
    abruptExitHandler = std::move(handler);
}

void FakePlatform::onTerminationRequest(std::function<void()> handler) {
    terminationHandler = std::move(handler);
}

} // namespace kelvane
