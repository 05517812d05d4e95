#include "platform/posix/BrowserProcesses.h"

#include <QByteArray>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane {
namespace {

// Browsers' program file names and their main windows' class words, in lower case.
constexpr std::string_view kBrowserNames[] = {"firefox",
                                              "firefox-esr",
                                              "firefox-bin",
                                              "navigator",
                                              "chromium",
                                              "chromium-browser",
                                              "chrome",
                                              "google-chrome",
                                              "google-chrome-stable",
                                              "brave",
                                              "brave-browser",
                                              "microsoft-edge",
                                              "msedge",
                                              "vivaldi",
                                              "vivaldi-bin",
                                              "vivaldi-stable",
                                              "opera",
                                              "epiphany",
                                              "epiphany-browser",
                                              "org.gnome.epiphany",
                                              "falkon",
                                              "librewolf",
                                              "konqueror",
                                              "midori",
                                              "qutebrowser",
                                              "waterfox",
                                              "floorp",
                                              "mullvadbrowser",
                                              "seamonkey",
                                              "palemoon",
                                              "thorium",
                                              "yandex-browser"};

constexpr qint64 kRescanMs = 1000;

// The browser a process runs, by the file name of its executable or by the name the kernel
// keeps for it (the name it was started under, at most 15 bytes): a browser started through
// a link of another name, or whose executable cannot be read, is found all the same.
bool runsBrowser(int proc, const char* pid) {
    char path[64];
    char text[4096];
    std::snprintf(path, sizeof path, "%s/exe", pid);
    const ssize_t n = ::readlinkat(proc, path, text, sizeof text);
    if (n > 0) {
        const std::string_view exe(text, size_t(n));
        if (isBrowserName(exe.substr(exe.rfind('/') + 1)))
            return true;
    } else if (errno != EACCES) { // a process that has ended and is not yet reaped runs nothing
        return false;
    }
    std::snprintf(path, sizeof path, "%s/comm", pid);
    const int fd = ::openat(proc, path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const ssize_t got = ::read(fd, text, 64);
    ::close(fd);
    std::string_view comm(text, size_t(std::max<ssize_t>(got, 0)));
    while (!comm.empty() && comm.back() == '\n')
        comm.remove_suffix(1);
    return isBrowserName(comm);
}

// A process of this user's own, by the owner of its folder under /proc.
bool ownProcess(int proc, const char* pid) {
    struct stat info {};
    return ::fstatat(proc, pid, &info, 0) == 0 && info.st_uid == ::getuid();
}

} // namespace

bool isBrowserName(QByteArrayView word) {
    if (word.isEmpty() || word.size() > 64)
        return false;
    const QByteArray lower = word.toByteArray().toLower();
    return std::find(std::begin(kBrowserNames), std::end(kBrowserNames),
                     std::string_view(lower.constData(), size_t(lower.size()))) !=
           std::end(kBrowserNames);
}

bool BrowserProcesses::isBrowserProcess(pid_t pid) {
    const int proc = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (proc < 0)
        return false;
    const QByteArray name = QByteArray::number(pid);
    const bool browser = ownProcess(proc, name.constData()) && runsBrowser(proc, name.constData());
    ::close(proc);
    return browser;
}

bool BrowserProcesses::running() {
    const int proc = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (proc < 0)
        return false;
    bool any = false;
    if (found_ > 0) { // the one seen last, if it still runs
        const QByteArray pid = QByteArray::number(found_);
        any = ownProcess(proc, pid.constData()) && runsBrowser(proc, pid.constData());
    }
    if (!any && (found_ > 0 || !lastScan_.isValid() || lastScan_.elapsed() >= kRescanMs)) {
        found_ = 0;
        if (DIR* dir = ::fdopendir(::dup(proc))) {
            while (const dirent* entry = ::readdir(dir)) {
                const char* pid = entry->d_name;
                if (!std::isdigit(static_cast<unsigned char>(pid[0])) || !ownProcess(proc, pid) ||
                    !runsBrowser(proc, pid))
                    continue;
                found_ = pid_t(std::atol(pid));
                any = true;
                break;
            }
            ::closedir(dir);
        }
        lastScan_.start();
    }
    ::close(proc);
    return any;
}

} // namespace kelvane
