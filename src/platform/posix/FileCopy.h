#pragma once

#include "platform/Platform.h"

namespace kelvane {

// Copies source to target. The bytes go to a hidden temporary file in the target's folder,
// which is renamed over target only when the whole copy has been written and flushed to disk
// (an existing target is replaced then, and only then). On any failure (source missing or
// unreadable, source not a regular file, target folder missing or not a folder, target a
// folder, name too long, disk full, file-size limit, source shrinking or growing mid-copy)
// nothing is left behind: no partial file, any existing target untouched.
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
