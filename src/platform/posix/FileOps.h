#pragma once

#include <QString>

namespace kelvane {

// A folder of the user's own, itself and not a link to one; with mode, one with exactly those
// permission bits (0700).
bool ownFolder(const QString& path, unsigned mode = 0);
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

// The one-copy lock: an exclusive flock(2) on the file at path, kept while fd stays open and
// let go by the kernel however the process ends. What the file holds counts for nothing (an
// empty one, garbage, another machine's name or a dead process's number are all free). A
// folder, a link, a pipe or a second name of another file there is removed (a folder with
// something in it is renamed aside) and a lone file made instead; nothing is read from it or
// waited on. fd is -1 when the lock is not held: heldElsewhere tells another process has it.
struct OneCopyLock {
    int fd = -1;
    bool heldElsewhere = false;
};
OneCopyLock lockOneCopy(const QString& path);

} // namespace kelvane
