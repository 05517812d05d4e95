#pragma once

#include <QString>

namespace kelvane {

// True for an existing regular file; a symbolic link counts as what it points to. Folders,
// FIFOs, sockets and devices count as absent, and so does a path holding a NUL character
// (the system would read a shorter name). A dot-named file is a file like any other: the
// duplicate test, the numbering of copies, the check after a copy and the history all rely on
// this one test, so they never disagree about a file.
bool FileExists(const QString& path);

// True when the path holds a NUL character: no file on this system can be named so.
inline bool holdsNul(const QString& path) {
    return path.contains(QChar(u'\0'));
}

} // namespace kelvane
