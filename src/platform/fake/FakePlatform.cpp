#include "platform/fake/FakePlatform.h"

#include "platform/posix/FileCopy.h"

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
QPoint FakePlatform::cursorPos() {
    return cursor;
}

void FakePlatform::addTrayIcon(const QIcon&, const QString& tip,
                               std::function<void(int code)> onNotify) {
    calls << QStringLiteral("addTrayIcon: ") + tip;
    trayShown = true;
    trayHandler = std::move(onNotify);
}

void FakePlatform::removeTrayIcon() {
    calls << QStringLiteral("removeTrayIcon");
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

bool FakePlatform::openPath(const QString& path) {
    calls << QStringLiteral("openPath: ") + path;
    return openSucceeds;
}

bool FakePlatform::showDesktop() {
    calls << QStringLiteral("showDesktop");
    return showDesktopSucceeds;
}

void FakePlatform::beginWindowMove(QWidget*) {
    calls << QStringLiteral("beginWindowMove");
}

void FakePlatform::onAbruptExit(std::function<void()> handler) {
    abruptExitHandler = std::move(handler);
}

void FakePlatform::onTerminationRequest(std::function<void()> handler) {
    terminationHandler = std::move(handler);
}

} // namespace kelvane
