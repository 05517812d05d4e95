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
// Whether the freedesktop Trash can take the file (not a folder): the home Trash for a file
// on the home folder's file system; elsewhere $topdir/.Trash/$uid (a sticky .Trash) or
// $topdir/.Trash-$uid, existing or makeable, at the top of the file's own file system.
bool trashCanTake(const QString& path);
// Moves one file (not a folder) into the freedesktop Trash with its restore information
// (QFile::moveToTrash); false when it could not.
bool trashFile(const QString& path);

} // namespace kelvane
