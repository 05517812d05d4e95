#include "core/FileTests.h"

#include <QFileInfo>

namespace kelvane {

bool FileExists(const QString& path) {
    if (path.isEmpty() || holdsNul(path))
        return false;
    return QFileInfo(path).isFile();
}

} // namespace kelvane
