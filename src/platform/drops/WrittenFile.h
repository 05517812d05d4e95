#pragma once

#include "platform/drops/Download.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class QSocketNotifier;

namespace kelvane::drops {

// Waits until another program has finished writing a file: done when the writer closes it
// with something in it (or, where closes cannot be seen, when it has not grown for a while). A file
// that is still empty or still growing at the time limit, or that grows past the size limit, fails.
class WrittenFile : public QObject {
    Q_OBJECT

public:
    static constexpr int kQuietMs = 1'000; // no growth for this long counts as finished

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
    void check(bool closedAfterWrite);
    void finish(const QString& error);

    QString path_;
    Limits limits_;
    Done done_;
    Progress progress_;
    int inotify_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QTimer poll_;
    qint64 lastSize_ = -1;
    qint64 quietSince_ = 0;
    bool hadContentAtStart_ = false;
    bool ended_ = false;
};

} // namespace kelvane::drops
