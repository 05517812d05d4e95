#pragma once

#include <QIcon>
#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>

class QMimeData;
class QWidget;

namespace kelvane {

// Everything Kelvane asks of the operating system goes through this interface. The real
// implementation is picked by the build (see docs/PLATFORM.md); tests use FakePlatform.
// The outcome of a file copy: ok, or a short reason that can be shown to the user.
struct CopyResult {
    bool ok = false;
    QString error;
};

class Platform {
public:
    enum class Icon { None, Critical, Exclamation, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };
    enum class SpecialFolder { Desktop, Documents };

    // What the user did to the tray icon.
    enum class TrayEvent { Click, DoubleClick, ContextMenu };

    struct Version {
        int major = 0;
        int minor = 0;
        int revision = 0;
    };

    virtual ~Platform() = default;

    // Modal message box; returns the button the user chose (Ok for an Ok-only box).
    virtual Answer messageBox(QWidget* owner, const QString& text, const QString& title,
                              Buttons buttons, Icon icon) = 0;

    // A message with the program's title, "Kelvane", and an OK button.
    void message(QWidget* owner, const QString& text, Icon icon = Icon::None) {
        messageBox(owner, text, QStringLiteral("Kelvane"), Buttons::Ok, icon);
    }

    // Plays a WAV file and returns when it has finished. A missing file or sound server
    // is silent; the call never fails.
    virtual void playSoundSync(const QString& wavPath) = 0;

    // True when another copy of Kelvane runs for this user; that copy then hears of this start
    // (see onSecondStart). The first caller keeps a lock for the rest of its life; a lock left
    // behind by a killed copy is taken over.
    virtual bool anotherInstanceRunning() = 0;
    // Calls handler (on the GUI thread) with the command line of every later start of the
    // program while this copy runs; those starts end at once.
    virtual void onSecondStart(std::function<void(const QString& commandLine)> handler) = 0;

    // The arguments after the program name joined by blanks, empty when there are none.
    virtual QString commandLine() = 0;

    // A special folder of the user, empty when it cannot be found.
    virtual QString specialFolder(SpecialFolder id) = 0;
    // The user's home folder (stands where the system folder of the settings file points).
    virtual QString homeFolder() = 0;
    // Read-only resources: res/*.wav, pictures.
    virtual QString resourceFolder() = 0;
    // Where kelvane.dat and history.dat live; created on demand by the caller.
    virtual QString stateFolder() = 0;

    virtual Version version() = 0;
    // Size of the primary screen in logical pixels.
    virtual QSize screenSize() = 0;
    // The mouse cursor in screen pixels.
    virtual QPoint cursorPos() = 0;
    // Where a top-level window's top-left corner is on the screen, as the window system has
    // it (not what the toolkit last heard).
    virtual QPoint windowPosition(QWidget* window) = 0;

    // Notification-area icon; onEvent hears about clicks on it.
    virtual void addTrayIcon(const QIcon& icon, const QString& tip,
                             std::function<void(TrayEvent)> onEvent) = 0;
    virtual void removeTrayIcon() = 0;
    // True while the icon is on the screen: added, and a tray shows it.
    virtual bool trayIconVisible() = 0;
    // A short message from the program in the desktop's notification area; nothing where the
    // desktop shows none.
    virtual void notify(const QString& text) = 0;

    // True when a main window of a web browser exists (shown or minimised).
    virtual bool browserWindowExists() = 0;

    // Puts a top-level window into, or takes it out of, the always-on-top band without
    // re-creating it.
    virtual void setTopmost(QWidget* window, bool topmost) = 0;

    // Asks the window manager for a close box only on a secondary window, no minimise or
    // maximise button, whenever the window is shown (some window managers draw them whatever
    // the toolkit asks). The window is not resizable by the user either.
    virtual void closeBoxOnly(QWidget* window) = 0;

    // Copies source over target so that target is either the old file or the whole new one,
    // never a part: see platform/posix/FileCopy.h for the details.
    virtual CopyResult copyFile(const QString& source, const QString& target) = 0;

    // A modal folder dialog that opens in startFolder and shows the selected folder's path;
    // the chosen folder, or an empty string when the user cancels.
    virtual QString browseForFolder(QWidget* owner, const QString& title,
                                    const QString& startFolder) = 0;

    // The busy pointer over every window of the program, or the normal one again; calls are
    // paired, and the pointer is busy while any part that asked for it is.
    virtual void setBusyCursor(bool busy) = 0;

    // Starting with the desktop session: writes the user's autostart entry, which starts this
    // program, as it runs now, with the given argument; or deletes it (a missing entry is no
    // failure). False when the entry could not be written or deleted.
    virtual bool writeAutostartEntry(const QString& argument) = 0;
    virtual bool deleteAutostartEntry() = 0;

    // A drop turned into a local file.
    struct DropHandlers {
        // Runs once: the file (empty when the drag gave none) and, when empty, why; with a
        // file, a remark on it for the user (the browser gave only a re-encoded copy), mostly
        // empty.
        std::function<void(const QString& file, const QString& remark)> done;
        // Runs while the file is still on its way: bytes so far, and the total or -1.
        std::function<void(qint64 received, qint64 total)> progress;
    };
    // The file a drag would give, asking the drag source nothing but its type list (a source
    // that does not answer must not hold the window up while a drag passes over it). Which
    // file a drag gives is known only at the drop: until then this names a stand-in in the
    // drop cache, under the name the type list gives ("image" where it gives none). Empty when
    // the type list offers nothing that can become a file.
    virtual QString draggedFile(const QMimeData* data) = 0;
    // Turns a drop into a local file, reading now what the drag carries, as far as the routes
    // need it, each format once, and nothing more once the source has been slow to answer
    // (the drop then fails with "the drag source did not answer", unless an address it gave
    // can still be fetched). `done` runs after the drop event, so that the drag source hears
    // at once that the drop is over: right after it for a local file the drag names, later for
    // a file that had to be written, waited for or downloaded (a browser hands over no local
    // file).
    virtual void receiveDrop(const QMimeData* data, DropHandlers handlers) = 0;

    // A modal save dialog with a title, a start folder and one type entry ("*.jpg"), which
    // asks before a file is replaced; the chosen path, or an empty string when cancelled.
    virtual QString saveFileDialog(QWidget* owner, const QString& filter, const QString& title,
                                   const QString& startFolder) = 0;

    // Opens a file or folder with the user's default application and does not wait for it.
    // The path is handed over as one argument, never through a shell. False when nothing
    // could be started or the desktop's opener reports failure (within a short wait).
    virtual bool openPath(const QString& path) = 0;
    // Opens a web address (http or https) with the user's default browser and does not wait
    // for it. False when nothing could be started or the opener reports failure.
    virtual bool openAddress(const QString& address) = 0;
    // Removes one file (a folder is refused). False when it could not be removed, a missing
    // file included.
    virtual bool deleteFile(const QString& path) = 0;
    // Whether the user's Trash can take one file: the Trash in the user's data folder for a
    // file on the home folder's file system, else a Trash folder at the top of the file's own
    // file system (made when needed).
    virtual bool canMoveToTrash(const QString& path) = 0;
    // Moves one file (a folder is refused) into the user's Trash, from where the file manager
    // can restore it. False when it could not be moved, a missing file included.
    virtual bool moveToTrash(const QString& path) = 0;
    // Creates one folder in an existing folder. False when something of that name exists,
    // the parent folder does not, or the name cannot be a file name here (too long, a NUL).
    virtual bool createFolder(const QString& path) = 0;
    // Lets the user drag a file out of the program (a URI list naming it, offered as a copy
    // only, so no target can move or delete it) and returns when the drag is over. True when
    // a target took it.
    virtual bool dragFileOut(QWidget* source, const QString& path) = 0;
    // Shows the desktop (minimises every window). False when the window manager cannot.
    virtual bool showDesktop() = 0;
    // Brings a shown top-level window in front at the user's request, as a click in a task bar
    // does: out of a minimised state, and out of the window manager's "showing the desktop".
    virtual void presentWindow(QWidget* window) = 0;

    // Calls handler once if the process ends without the program's own shut-down (the
    // display connection broke, say). Only files may be touched then. An empty handler
    // cancels it.
    virtual void onAbruptExit(std::function<void()> handler) = 0;

    // Calls handler (on the GUI thread) when the process is asked to end from outside:
    // SIGTERM, SIGINT, SIGHUP or the end of the desktop session.
    virtual void onTerminationRequest(std::function<void()> handler) = 0;
};

} // namespace kelvane
