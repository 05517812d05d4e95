#pragma once

#include <QString>

namespace kelvane {

// Removes one file or symbolic link with unlink(2); a folder, a missing file or a path
// holding a NUL character gives false.
bool removeFile(const QString& path);
// Creates one folder with mkdir(2), mode 0777 less the umask: false when anything of that
// name exists (a dangling link too), the parent is missing, the name is too long or the path
// holds a NUL character.
bool makeFolder(const QString& path);

} // namespace kelvane
