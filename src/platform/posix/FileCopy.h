#pragma once

#include "platform/Platform.h"

namespace kelvane {

// Copies source to target. The bytes go to an unnamed file in the target's folder (O_TMPFILE),
// which gets a name only when the whole copy has been written and flushed to disk, and is then
// renamed over target (an existing target is replaced then, and only then). Where the file
// system has no unnamed files, a hidden temporary ".kelvane-<13 digits base 36>.part" takes
// its place. On any failure (source missing or unreadable, source not a regular file, target
// folder missing or not a folder, target a folder, name too long, disk full, file-size limit,
// source shrinking or growing mid-copy, a NUL character in either path) nothing is left
// behind: no partial file, any existing target untouched. A process killed mid-copy leaves
// at most such a hidden temporary; the next copy into that folder removes those not written
// to for 15 minutes (regular files of exactly that name, nothing else).
//
// - A source that is a symbolic link is followed; FIFOs, devices, sockets and folders are
//   refused without being read (a FIFO never blocks the call).
// - A target that is a symbolic link to a file is replaced through the link (the link stays,
//   the file it points to gets the new content), as cp would do.
// - A new file gets the permission bits 0644 less the umask; the source's own mode bits
//   (an executable bit, say) are not carried over. A replaced file keeps its permission bits
//   and, where allowed, its owner.
// - A source that is unlinked while it is copied is still copied whole (its bytes stay
//   readable), so that counts as success.
// - A file-size limit comes back as an error only where SIGXFSZ is ignored (the Linux
//   platform ignores it).
CopyResult copyFileAtomically(const QString& source, const QString& target);

} // namespace kelvane
