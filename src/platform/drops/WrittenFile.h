#pragma once

#include "platform/drops/Download.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class QSocketNotifier;

namespace kelvane::drops {

// Waits until another program has finished writing a file: done when the writer closes it, or
// renames it into place, with something in it. A file already there when the watch begins, and
// every file where closes cannot be seen, is done once it has something in it and no process of
// this user holds it open for writing. However long a writer pauses, the file is waited for, up
// to limits.timeMs in all: a file still empty or still open then, or one that grows past
// limits.maxBytes, fails.
class WrittenFile : public QObject {
    Q_OBJECT

public:
    using Done = std::function<void(const QString& file, const QString& error)>;
    using Progress = std::function<void(qint64 bytes)>;

    // Starts watching path; done runs once, later, and the watcher deletes itself after it.
    // (It goes with parent, when that goes first.)
    static void watch(QObject* parent, const QString& path, const Limits& limits, Done done,
                      Progress progress = {});

private:
    WrittenFile(QString path, const Limits& limits, Done done, Progress progress);
    ~WrittenFile() override;
    void onEvents();
    void check(bool writerDone);
    void finish(const QString& error);

    QString path_;
    Limits limits_;
    Done done_;
    Progress progress_;
    int inotify_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QTimer poll_;
    qint64 lastSize_ = -1;
    bool ended_ = false;
};

} // namespace kelvane::drops
