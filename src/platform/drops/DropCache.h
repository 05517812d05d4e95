#pragma once

#include <QString>

namespace kelvane::drops {

// The folder where drops that arrive without a local file become files:
// $XDG_CACHE_HOME/kelvane/drops, one sub-folder per drop so that names never collide.
class DropCache {
public:
    // Drops older than this are removed at start-up; no more than kKeep drops are kept.
    static constexpr int kMaxAgeSeconds = 24 * 60 * 60;
    static constexpr int kKeep = 20;

    explicit DropCache(QString root = defaultRoot());
    static QString defaultRoot();

    QString root() const { return root_; }
    // A new, empty folder for one drop, after removing the oldest drops beyond kKeep; empty
    // when none can be made.
    QString newDropFolder();
    // Removes the drops older than kMaxAgeSeconds.
    void removeOldDrops();
    // True when path names something inside a drop folder of this cache (after resolving
    // "..", links included).
    bool contains(const QString& path) const;
    // True when path is a regular file inside a drop folder of this cache: not a link, and
    // not another name of a file that lives elsewhere. Checked on the opened file.
    bool holdsFile(const QString& path) const;

private:
    void removeBeyond(int keep);

    QString root_;
};

} // namespace kelvane::drops
