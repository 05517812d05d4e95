#include "platform/posix/FileOps.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane {
namespace {

bool usable(const QString& path) {
    return !path.isEmpty() && !path.contains(QChar(0));
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

} // namespace kelvane
