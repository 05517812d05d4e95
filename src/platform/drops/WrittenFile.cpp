#include "platform/drops/WrittenFile.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSocketNotifier>

#include <cctype>
#include <climits>
#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane::drops {
namespace {

// Whether a process of this user has path open for writing: one of its /proc/<pid>/fd links
// names the file, and the link's own mode carries the write bit of the open file. The links are
// read, never followed, so that a file on a hung network mount cannot stall the program. Where
// /proc cannot be read, any process might hold it: the file counts as held.
bool heldForWriting(const QString& path) {
    const QByteArray file = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    if (file.isEmpty())
        return false; // not there
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return true;
    const auto closeProc = qScopeGuard([proc] { ::closedir(proc); });
    const uid_t me = ::geteuid();
    while (const dirent* process = ::readdir(proc)) {
        const QByteArray fdFolder = "/proc/" + QByteArray(process->d_name) + "/fd";
        struct stat owner {};
        if (!std::isdigit(uchar(process->d_name[0])) || ::stat(fdFolder.constData(), &owner) != 0 ||
            owner.st_uid != me)
            continue;
        DIR* fds = ::opendir(fdFolder.constData());
        if (!fds)
            continue;
        const auto closeFds = qScopeGuard([fds] { ::closedir(fds); });
        while (const dirent* fd = ::readdir(fds)) {
            const QByteArray link = fdFolder + '/' + fd->d_name;
            char target[PATH_MAX];
            const ssize_t n = ::readlink(link.constData(), target, sizeof target);
            struct stat mode {};
            if (n == file.size() && QByteArrayView(target, n) == file &&
                ::lstat(link.constData(), &mode) == 0 && (mode.st_mode & S_IWUSR))
                return true;
        }
    }
    return false;
}

} // namespace

void WrittenFile::watch(QObject* parent, const QString& path, const Limits& limits, Done done,
                        Progress progress) {
    auto* watcher = new WrittenFile(path, limits, std::move(done), std::move(progress));
    watcher->setParent(parent);
    QTimer::singleShot(limits.timeMs, watcher, [watcher] {
        watcher->finish(QStringLiteral("the browser did not finish the file in time"));
    });
    // The writer may have closed the file before the watch began: then no writer is left.
    watcher->check(!heldForWriting(path));
}

WrittenFile::WrittenFile(QString path, const Limits& limits, Done done, Progress progress)
    : path_(std::move(path)), limits_(limits), done_(std::move(done)),
      progress_(std::move(progress)) {
    // The folder is watched, as the writer may create the file only after its answer, or
    // write a temporary beside it and rename that into place.
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ >= 0 &&
        inotify_add_watch(inotify_, QFile::encodeName(QFileInfo(path_).absolutePath()).constData(),
                          IN_CLOSE_WRITE | IN_MOVED_TO) >= 0) {
        notifier_ = new QSocketNotifier(inotify_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &WrittenFile::onEvents);
    }
    // The poll reports progress and the size limit; without notifications it also looks for
    // the writer, less often, as that reads every open file of the user's processes.
    poll_.setInterval(notifier_ ? 100 : 500);
    connect(&poll_, &QTimer::timeout, this,
            [this] { check(!notifier_ && !heldForWriting(path_)); });
    poll_.start();
}

WrittenFile::~WrittenFile() {
    if (inotify_ >= 0)
        ::close(inotify_);
}

void WrittenFile::onEvents() {
    alignas(inotify_event) char buffer[4096];
    const QByteArray name = QFile::encodeName(QFileInfo(path_).fileName());
    bool writerDone = false;
    for (;;) {
        const ssize_t n = ::read(inotify_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            writerDone = writerDone || (event->len > 0 && name == event->name);
            at += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
    check(writerDone);
}

void WrittenFile::check(bool writerDone) {
    if (ended_)
        return;
    const QFileInfo info(path_);
    if (!info.exists())
        return; // not there yet
    if (!info.isFile())
        return finish(QStringLiteral("the browser wrote no file"));
    const qint64 size = info.size();
    if (size > limits_.maxBytes)
        return finish(QStringLiteral("the picture is too large"));
    if (size != lastSize_) {
        lastSize_ = size;
        if (progress_)
            progress_(size);
    }
    // Only the writer's end counts, never a pause, however long: a download that stalls for a
    // while must not end as a cut-off picture. An empty close is the writer making the file.
    if (size > 0 && writerDone)
        finish({});
}

void WrittenFile::finish(const QString& error) {
    if (std::exchange(ended_, true))
        return;
    poll_.stop();
    if (done_)
        done_(error.isEmpty() ? path_ : QString(), error);
    deleteLater();
}

} // namespace kelvane::drops
