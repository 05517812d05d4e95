#include "platform/posix/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane {
namespace {

bool usable(const QString& path) {
    return !path.isEmpty() && !path.contains(QChar(0));
}

// An existing entry that is not a folder (a link counts as what it is, not what it names).
bool isFileEntry(const QString& path) {
    struct stat info {};
    return usable(path) && ::lstat(QFile::encodeName(path).constData(), &info) == 0 &&
           !S_ISDIR(info.st_mode);
}

// A folder of the user's own, not a link; or, when makeable is set, none yet in a folder
// the user may write to.
bool ownFolder(const QString& path, bool makeable) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0)
        return makeable && errno == ENOENT &&
               ::access(QFile::encodeName(QFileInfo(path).path()).constData(), W_OK) == 0;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
}

} // namespace

bool removeFile(const QString& path) {
    if (!usable(path))
        return false;
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0 || S_ISDIR(info.st_mode))
        return false;
    return ::unlink(name.constData()) == 0;
}

bool makeFolder(const QString& path) {
    return usable(path) && ::mkdir(QFile::encodeName(path).constData(), 0777) == 0;
}

bool trashCanTake(const QString& path) {
    if (!isFileEntry(path))
        return false;
    const QStorageInfo volume(QFileInfo(path).absolutePath());
    if (!volume.isValid() || volume == QStorageInfo(QDir::home()))
        return true; // the home Trash
    const QString top = volume.rootPath();
    const QString uid = QString::number(::getuid());
    struct stat shared {};
    const QByteArray dotTrash = QFile::encodeName(top + QStringLiteral("/.Trash"));
    if (::lstat(dotTrash.constData(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
        (shared.st_mode & S_ISVTX) && ownFolder(top + QStringLiteral("/.Trash/") + uid, true))
        return true;
    return ownFolder(top + QStringLiteral("/.Trash-") + uid, true);
}

bool trashFile(const QString& path) {
    if (!isFileEntry(path))
        return false;
    // The home Trash is made in the user's data folder, which Qt expects to exist: without it
    // Qt would take the working folder for the Trash.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data))
        return false;
    return QFile::moveToTrash(path);
}

} // namespace kelvane
