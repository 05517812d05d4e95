#include "platform/drops/WrittenFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <sys/inotify.h>
#include <unistd.h>

namespace kelvane::drops {

void WrittenFile::watch(QObject* parent, const QString& path, const Limits& limits, Done done,
                        Progress progress) {
    auto* watcher = new WrittenFile(path, limits, std::move(done), std::move(progress));
    watcher->setParent(parent);
    QTimer::singleShot(limits.timeMs, watcher, [watcher] {
        watcher->finish(QStringLiteral("the browser did not finish the file in time"));
    });
    watcher->check(false);
}

WrittenFile::WrittenFile(QString path, const Limits& limits, Done done, Progress progress)
    : path_(std::move(path)), limits_(limits), done_(std::move(done)),
      progress_(std::move(progress)) {
    // The writer's close is the surest sign; the poll covers writers that keep the file open
    // and file systems without notifications.
    // The folder is watched, as the writer may create the file only after its answer.
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ >= 0 &&
        inotify_add_watch(inotify_, QFile::encodeName(QFileInfo(path_).absolutePath()).constData(),
                          IN_CLOSE_WRITE | IN_MODIFY) >= 0) {
        notifier_ = new QSocketNotifier(inotify_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &WrittenFile::onEvents);
    }
    hadContentAtStart_ = QFileInfo(path_).size() > 0;
    poll_.setInterval(100);
    connect(&poll_, &QTimer::timeout, this, [this] { check(false); });
    poll_.start();
}

WrittenFile::~WrittenFile() {
    if (inotify_ >= 0)
        ::close(inotify_);
}

void WrittenFile::onEvents() {
    alignas(inotify_event) char buffer[4096];
    const QByteArray name = QFile::encodeName(QFileInfo(path_).fileName());
    bool closed = false;
    for (;;) {
        const ssize_t n = ::read(inotify_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0 && name == event->name)
                closed = (event->mask & IN_CLOSE_WRITE) != 0;
            at += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
    check(closed);
}

void WrittenFile::check(bool closedAfterWrite) {
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
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (size != lastSize_) {
        lastSize_ = size;
        quietSince_ = now;
        if (progress_)
            progress_(size);
    }
    // Where the writer's close can be seen, only the close counts: a download that stalls
    // for a moment must not end as a cut-off picture. A file that had content when the watch
    // began may have been closed before it: there, and without notifications, a quiet while.
    const bool quietCounts = !notifier_ || hadContentAtStart_;
    if (size > 0 && (closedAfterWrite || (quietCounts && now - quietSince_ >= kQuietMs)))
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
