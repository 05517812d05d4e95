#include "platform/x11/X11Platform.h"

#include "platform/PlatformFactory.h"
#include "platform/drops/DropAdapter.h"
#include "platform/posix/FileCopy.h"
#include "platform/posix/FileOps.h"
#include "platform/x11/Autostart.h"
#include "platform/x11/DesktopBus.h"
#include "platform/x11/DesktopDialogs.h"
#include "platform/x11/DirectSave.h"
#include "platform/x11/Ewmh.h"
#include "platform/x11/SecondStart.h"
#include "platform/x11/SelectionReader.h"
#include "platform/x11/Termination.h"
#include "platform/x11/XdndWatch.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QDrag>
#include <QFileInfo>
#include <QImageReader>
#include <QLibrary>
#include <QMimeData>
#include <QScreen>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QWidget>
#include <csignal>
#include <memory>
#include <unistd.h>

namespace kelvane {

std::unique_ptr<Platform> createPlatform() {
    return std::make_unique<X11Platform>();
}

X11Platform::X11Platform() {
    // Past a file-size limit, writes fail with an error the program reports instead of
    // ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    // Watches for drags from the start, so that the first drag's source is known.
    drag_ = std::make_unique<XdndWatch>();
    directSave_ = std::make_unique<DirectSave>(*drag_);
    selection_ = std::make_unique<SelectionReader>(*drag_);
    waylandSession_ = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
                      qgetenv("XDG_SESSION_TYPE").compare("wayland", Qt::CaseInsensitive) == 0;
}

drops::DropAdapter& X11Platform::drops() {
    // Made at the first drag: a program that is never dropped on opens no network access.
    if (!drops_)
        drops_ = std::make_unique<drops::DropAdapter>(
            [this](const auto& ask, const QString& uri) { return directSave_->request(ask, uri); },
            [this] { return directSave_->proposedName(); }, drops::DropCache(),
            [this](const QMimeData* data, const QString& format, int waitMs,
                   qint64 maxBytes) -> std::optional<QByteArray> {
                // Another program's drag; the program's own is read as it is.
                if (!data->inherits("QInternalMimeData"))
                    return std::nullopt;
                return selection_->read(format, waitMs, maxBytes);
            });
    return *drops_;
}

QString X11Platform::draggedFile(const QMimeData* data) {
    return drops().draggedFile(data);
}

void X11Platform::receiveDrop(const QMimeData* data, DropHandlers handlers) {
    drops().receive(data, std::move(handlers));
}

QString X11Platform::saveFileDialog(QWidget* owner, const QString& filter, const QString& title,
                                    const QString& startFolder) {
    return dialogs::saveFile(owner, filter, title, startFolder);
}

Platform::Answer X11Platform::messageBox(QWidget* owner, const QString& text, const QString& title,
                                         Buttons buttons, Icon icon) {
    return dialogs::messageBox(owner, text, title, buttons, icon);
}

X11Platform::~X11Platform() {
    installAbruptExitHandler(nullptr);
    if (instanceLock_ >= 0)
        ::close(instanceLock_);
}

namespace {

using PlayWav = void (*)(const char16_t* path, int length);

// The sound module's player, loaded with the first cue: beside the program when it runs from
// its build folder, in its library folder when installed. Null when there is none.
PlayWav soundPlayer() {
    static const PlayWav play = []() -> PlayWav {
        const QString bin = QCoreApplication::applicationDirPath();
        for (const QString& module :
             {bin + QStringLiteral("/kelvanesound.so"),
              QDir::cleanPath(bin + QStringLiteral("/" KELVANE_SOUND_MODULE))}) {
            QLibrary library(module);
            if (auto found = reinterpret_cast<PlayWav>(library.resolve("kelvane_play_wav_sync")))
                return found;
        }
        return nullptr;
    }();
    return play;
}

} // namespace

void X11Platform::playSoundSync(const QString& wavPath) {
    if (const PlayWav play = soundPlayer())
        play(reinterpret_cast<const char16_t*>(wavPath.utf16()), int(wavPath.size()));
}

bool X11Platform::anotherInstanceRunning() {
    if (instanceLock_ != kNoLock)
        return false;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) { // never a folder shared with other users, where anyone could plant it
        dir = stateFolder();
        QDir().mkpath(dir);
    }
    const QString path = dir + QStringLiteral("/kelvane.lock");
    const QString socket = dir + QStringLiteral("/kelvane.socket");
    const OneCopyLock lock = lockOneCopy(path);
    if (lock.heldElsewhere) {
        SecondStart::tell(socket, commandLine());
        return true;
    }
    if (lock.fd < 0) // a lock that cannot be made never keeps the user out
        qWarning("kelvane: cannot make the lock %s; running without it", qPrintable(path));
    instanceLock_ = lock.fd >= 0 ? lock.fd : -2;
    laterStarts_ = std::make_unique<SecondStart>();
    if (lock.fd >= 0) // without the lock, the socket may be another copy's
        laterStarts_->listen(socket);
    // The drops of an earlier run go; a second copy, which ends at once, leaves the first
    // one's drops alone.
    drops::DropCache().removeOldDrops();
    return false;
}

void X11Platform::onSecondStart(std::function<void(const QString&)> handler) {
    if (laterStarts_)
        laterStarts_->onStart(std::move(handler));
}

QString X11Platform::commandLine() {
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty())
        args.removeFirst();
    return args.join(QLatin1Char(' '));
}

QString X11Platform::specialFolder(SpecialFolder id) {
    if (id == SpecialFolder::Desktop)
        return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    // As with the XDG user folders, a documents folder that does not exist is the home folder.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString X11Platform::homeFolder() {
    return QDir::homePath();
}

QString X11Platform::resourceFolder() {
    // Installed: <prefix>/bin/kelvane with <prefix>/share/kelvane; in a build folder the
    // resources sit beside the program.
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString installed = QDir::cleanPath(appDir + QStringLiteral("/../share/kelvane"));
    if (QFileInfo(installed + QStringLiteral("/res")).isDir())
        return installed;
    return appDir;
}

QString X11Platform::stateFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/kelvane");
}

Platform::Version X11Platform::version() {
    return {KELVANE_VERSION_MAJOR, KELVANE_VERSION_MINOR, KELVANE_VERSION_PATCH};
}

QSize X11Platform::screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(1024, 768);
}

QPoint X11Platform::windowPosition(QWidget* window) {
    return ewmh::windowPosition(window).value_or(window->pos());
}

QPoint X11Platform::cursorPos() {
    return QCursor::pos();
}

void X11Platform::addTrayIcon(const QIcon& icon, const QString& tip,
                              std::function<void(TrayEvent)> onEvent) {
    tray_ = std::make_unique<QSystemTrayIcon>(icon);
    tray_->setToolTip(tip);
    // A panel that hosts status notifier items has no double-click: it activates the item (a
    // left click), asks for its menu (a right click) or activates it a second way (a middle
    // click), which stands in for the double-click. In an XEmbed tray the middle button does
    // nothing.
    const bool statusNotifier = desktopbus::statusNotifierHost();
    QObject::connect(tray_.get(), &QSystemTrayIcon::activated,
                     [onEvent, statusNotifier](QSystemTrayIcon::ActivationReason reason) {
                         switch (reason) {
                         case QSystemTrayIcon::Trigger:
                             onEvent(TrayEvent::Click);
                             break;
                         case QSystemTrayIcon::DoubleClick:
                             onEvent(TrayEvent::DoubleClick);
                             break;
                         case QSystemTrayIcon::MiddleClick:
                             if (statusNotifier)
                                 onEvent(TrayEvent::DoubleClick);
                             break;
                         case QSystemTrayIcon::Context:
                             onEvent(TrayEvent::ContextMenu);
                             break;
                         default:
                             break;
                         }
                     });
    tray_->show();
}

void X11Platform::removeTrayIcon() {
    if (!tray_)
        return;
    tray_->hide();
    // Not while it may still be delivering the click that led here.
    tray_.release()->deleteLater();
}

bool X11Platform::trayIconVisible() {
    // Qt calls an icon visible that no tray shows (stock GNOME has none).
    return tray_ && tray_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void X11Platform::notify(const QString& text) {
    desktopbus::notify(QStringLiteral("Kelvane"), text);
}

bool X11Platform::browserWindowExists() {
    // An X11 client sees the windows of X11 clients only: on a Wayland session a browser
    // running as a Wayland client shows up by its process alone.
    return browsers_.exist() || (waylandSession_ && browserProcesses_.running());
}

void X11Platform::setTopmost(QWidget* window, bool topmost) {
    ewmh::setWmState(window, "_NET_WM_STATE_ABOVE", topmost);
}

namespace {

// Sets the window's type each time it is shown: the show event comes after the native window
// is made (again, after a change of parent) and before it is mapped.
class ToolbarType : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType())
            ewmh::setWindowType(static_cast<QWidget*>(watched), "_NET_WM_WINDOW_TYPE_TOOLBAR");
        return false;
    }
};

} // namespace

void X11Platform::closeBoxOnly(QWidget* window) {
    if (!window)
        return;
    window->setFixedSize(window->size()); // no maximise button where it could not be resized
    // Openbox draws minimise and maximise buttons on every dialog and utility window, whatever
    // the Motif hints Qt sets ask; only a toolbar or menu window goes without. Other window
    // managers honour the hints, and keep the window's own type.
    static const bool openbox =
        ewmh::windowManagerName().compare(QLatin1String("Openbox"), Qt::CaseInsensitive) == 0;
    if (openbox)
        window->installEventFilter(new ToolbarType(window));
}

CopyResult X11Platform::copyFile(const QString& source, const QString& target) {
    return copyFileAtomically(source, target);
}

QString X11Platform::browseForFolder(QWidget* owner, const QString& title,
                                     const QString& startFolder) {
    return dialogs::browseForFolder(owner, title, startFolder);
}

void X11Platform::setBusyCursor(bool busy) {
    // Each part that is busy asks for the pointer and gives it back; it shows while any is.
    if (busy && busy_++ == 0)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!busy && busy_ > 0 && --busy_ == 0)
        QGuiApplication::restoreOverrideCursor();
}

bool X11Platform::writeAutostartEntry(const QString& argument) {
    return autostart::write(argument);
}

bool X11Platform::deleteAutostartEntry() {
    return autostart::remove();
}

bool X11Platform::openPath(const QString& path) {
    // As an absolute path: a file name holding "%" or "#" needs no URL escapes.
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    return dialogs::openWithDesktop(QFileInfo(path).absoluteFilePath());
}

bool X11Platform::openAddress(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return false;
    return dialogs::openWithDesktop(QString::fromLatin1(url.toEncoded()));
}

bool X11Platform::deleteFile(const QString& path) {
    return removeFile(path);
}

bool X11Platform::canMoveToTrash(const QString& path) {
    return trashCanTake(path);
}

bool X11Platform::moveToTrash(const QString& path) {
    return trashFile(path);
}

bool X11Platform::createFolder(const QString& path) {
    return makeFolder(path);
}

bool X11Platform::dragFileOut(QWidget* source, const QString& path) {
    auto* drag = new QDrag(source);
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(path)});
    drag->setMimeData(data);
    // The picture itself, small, goes with the pointer.
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.isValid()) {
        reader.setScaledSize(size.scaled(64, 64, Qt::KeepAspectRatio));
        drag->setPixmap(QPixmap::fromImage(reader.read()));
    }
    // A copy and nothing else: a target that wants to move gets no file to remove.
    return drag->exec(Qt::CopyAction, Qt::CopyAction) == Qt::CopyAction;
}

bool X11Platform::showDesktop() {
    return ewmh::setShowingDesktop(true);
}

void X11Platform::presentWindow(QWidget* window) {
    window->raise();
    if (!ewmh::activateWindow(window))
        window->activateWindow();
}

void X11Platform::onAbruptExit(std::function<void()> handler) {
    installAbruptExitHandler(std::move(handler));
}

void X11Platform::onTerminationRequest(std::function<void()> handler) {
    installTerminationHandler(std::move(handler));
}

} // namespace kelvane
