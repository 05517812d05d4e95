#pragma once

#include <QByteArrayView>
#include <QElapsedTimer>
#include <sys/types.h>

namespace kelvane {

// True when a word (a program's file name, a window class) names a web browser; any letter
// case. One list for both.
bool isBrowserName(QByteArrayView word);

// Whether the user runs a web browser, by the programs of the user's own processes (their
// executables, or their names where an executable cannot be read): the stand-in for a
// browser's windows where the window system cannot show them to this program. Cheap enough
// for a timer: a browser process found once is looked at alone on the next call (one
// readlink), and while none runs the process table is read at most once a second.
class BrowserProcesses {
public:
    bool running();
    // One process: the user's own, and a browser.
    static bool isBrowserProcess(pid_t pid);

private:
    pid_t found_ = 0;        // the browser process seen last, 0 for none
    QElapsedTimer lastScan_; // when the table was read without finding one
};

} // namespace kelvane
