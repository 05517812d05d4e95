#include "platform/posix/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
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

// A folder of the user's own, or none yet in a folder the user may write to.
bool ownOrMakeableFolder(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) == 0 || errno != ENOENT)
        return ownFolder(path);
    return ::access(QFile::encodeName(QFileInfo(path).path()).constData(), W_OK) == 0;
}

// Takes away whatever stands at name unless it is a lone regular file (which another copy may
// have made a moment ago).
void setAside(const QByteArray& name) {
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0 || (S_ISREG(info.st_mode) && info.st_nlink == 1))
        return;
    if (!S_ISDIR(info.st_mode))
        ::unlink(name.constData());
    else if (::rmdir(name.constData()) != 0)
        ::rename(name.constData(), name + '.' + QByteArray::number(::getpid()));
}

} // namespace

bool ownFolder(const QString& path, unsigned mode) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (!mode || (info.st_mode & 07777) == mode);
}

OneCopyLock lockOneCopy(const QString& path) {
    if (!usable(path))
        return {};
    const QByteArray name = QFile::encodeName(path);
    // Copies starting together take turns over the folder's own lock while they look at the
    // file and mend it, so that none removes the file another has just locked. It is held for
    // a few calls only; should something else keep it, the copy goes on after two seconds.
    const int folder = ::open(QFile::encodeName(QFileInfo(path).path()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int i = 0; folder >= 0 && i < 200 && ::flock(folder, LOCK_EX | LOCK_NB) != 0; ++i)
        QThread::msleep(10);
    OneCopyLock lock;
    for (int attempt = 0; attempt < 3 && lock.fd < 0 && !lock.heldElsewhere; ++attempt) {
        // Never through a link, never blocking on a pipe.
        const int fd =
            ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        struct stat info {};
        if (fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                // For people looking: who holds it.
                const QByteArray owner = QByteArray::number(::getpid()) + '\n';
                if (::ftruncate(fd, 0) == 0) {
                    [[maybe_unused]] const auto written =
                        ::write(fd, owner.constData(), size_t(owner.size()));
                }
                lock.fd = fd;
                break;
            }
            lock.heldElsewhere = errno == EWOULDBLOCK;
        } else {
            setAside(name);
        }
        if (fd >= 0)
            ::close(fd);
    }
    if (folder >= 0)
        ::close(folder);
    return lock;
}

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
        (shared.st_mode & S_ISVTX) && ownOrMakeableFolder(top + QStringLiteral("/.Trash/") + uid))
        return true;
    return ownOrMakeableFolder(top + QStringLiteral("/.Trash-") + uid);
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
