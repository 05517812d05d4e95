#include "platform/drops/DropCache.h"

#include "platform/posix/FileOps.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane::drops {
namespace {

// The drops this cache made, oldest first: private folders named as newDropFolder names them,
// right inside the cache folder. Through a cache folder (or its parent) that is a link, none:
// the folders there are someone else's.
QFileInfoList drops(const QString& root) {
    if (!ownFolder(root) || !ownFolder(QFileInfo(root).absolutePath()))
        return {};
    QFileInfoList made;
    for (const QFileInfo& drop :
         QDir(root).entryInfoList({QStringLiteral("drop-??????")}, QDir::Dirs | QDir::NoSymLinks,
                                  QDir::Time | QDir::Reversed))
        if (ownFolder(drop.filePath(), 0700))
            made += drop;
    return made;
}

} // namespace

DropCache::DropCache(QString root) : root_(std::move(root)) {}

QString DropCache::defaultRoot() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/kelvane/drops");
}

QString DropCache::newDropFolder() {
    if (!QDir().mkpath(root_))
        return {};
    removeBeyond(kKeep - 1);
    QTemporaryDir folder(root_ + QStringLiteral("/drop-XXXXXX"));
    if (!folder.isValid())
        return {};
    folder.setAutoRemove(false);
    return folder.path();
}

void DropCache::removeOldDrops() {
    const QDateTime before = QDateTime::currentDateTime().addSecs(-kMaxAgeSeconds);
    for (const QFileInfo& drop : drops(root_))
        if (drop.lastModified() < before)
            QDir(drop.filePath()).removeRecursively();
}

void DropCache::removeBeyond(int keep) {
    QFileInfoList all = drops(root_);
    for (qsizetype i = 0; i + keep < all.size(); ++i)
        QDir(all[i].filePath()).removeRecursively();
}

bool DropCache::contains(const QString& path) const {
    const QString root = QFileInfo(root_).canonicalFilePath();
    const QString inside = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    return !root.isEmpty() && inside.startsWith(root + QStringLiteral("/drop-"));
}

bool DropCache::holdsFile(const QString& path) const {
    if (!contains(path))
        return false;
    // O_NONBLOCK: a FIFO under that name must not hold the program up.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1;
    ::close(fd);
    return regular;
}

} // namespace kelvane::drops
