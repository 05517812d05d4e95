#include "TestFiles.h"
#include "platform/posix/FileCopy.h"

#include <QRandomGenerator>

#include <fcntl.h>
#include <future>
#include <optional>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace kelvane;
using namespace kelvane::test;

class TestFileCopy : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> work_;
    std::optional<QTemporaryDir> otherFs_; // on another file system, for the buffered road
    QString sources_, folder_;             // the source files' folder, the target folder

    QString in(const QString& name) const { return folder_ + "/" + name; }
    static QByteArray randomBytes(qsizetype size, quint32 seed) {
        QByteArray data(size, Qt::Uninitialized);
        QRandomGenerator(seed).generate(data.begin(), data.end());
        return data;
    }

private Q_SLOTS:
    void init() {
        QVERIFY(work_.emplace().isValid());
        sources_ = work_->filePath("sources");
        folder_ = work_->filePath("target folder");
        QVERIFY(QDir().mkpath(sources_) && QDir().mkpath(folder_));
        otherFs_.emplace("/dev/shm/kelvane-filecopy-XXXXXX");
    }
    void cleanup() { ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH); }

    // Size | source elsewhere (buffered) | name | umask | replaced mode (0 none) | mode after.
    void copiesWholeContent_data() {
        addRows({"0|n|-rf.jpg|022|0|644", "1048577|n|my  cat .jpg|077|0|600",
                 "3145745|n|kätzchen 猫 🐱.jpg|022|600|600", "1048577|y|two\nlines.jpg|022|640|640",
                 "3145745|y|<255 bytes>|022|0|644"});
    }
    void copiesWholeContent() {
        QFETCH(QStringList, row);
        if (row[1] == "y" && !otherFs_->isValid())
            QSKIP("no second file system at /dev/shm");
        const QString name = row[2] == "<255 bytes>" ? QString(127, QChar(0xe9)) + "x" : row[2];
        const QString source = (row[1] == "y" ? otherFs_->path() : sources_) + "/cat.jpg";
        const QByteArray data = randomBytes(row[0].toLongLong(), row[0].toUInt());
        const QByteArray target = QFile::encodeName(in(name));
        writeFile(source, data);
        QVERIFY(::chmod(QFile::encodeName(source).constData(), 0755) == 0);
        if (row[4] != "0") {
            writeFile(in(name), randomBytes(300000, 1));
            QVERIFY(::chmod(target.constData(), row[4].toUInt(nullptr, 8)) == 0);
        }
        const mode_t old = ::umask(row[3].toUInt(nullptr, 8));
        const CopyResult result = copyFileAtomically(source, in(name));
        ::umask(old);
        QVERIFY2(result.ok && result.error.isEmpty(), qPrintable(result.error));
        QCOMPARE(readBytes(in(name)), data);
        QCOMPARE(entries(folder_), QStringList{name});
        struct stat st;
        QVERIFY(::stat(target.constData(), &st) == 0);
        QCOMPARE(st.st_mode & 07777, row[5].toUInt(nullptr, 8));
    }

    // A source link is followed; a target link keeps pointing where it did, its file copied to.
    void followsSymbolicLinks() {
        const QByteArray data = randomBytes(20000, 3);
        writeFile(sources_ + "/real.jpg", data);
        QVERIFY(QFile::link(sources_ + "/real.jpg", sources_ + "/link.jpg"));
        writeFile(sources_ + "/elsewhere.jpg", "old");
        QVERIFY(QFile::link(sources_ + "/elsewhere.jpg", in("linked.jpg")));
        CopyResult result = copyFileAtomically(sources_ + "/link.jpg", in("cat.jpg"));
        QVERIFY2(result.ok, qPrintable(result.error));
        QVERIFY(!QFileInfo(in("cat.jpg")).isSymLink());
        QCOMPARE(readBytes(in("cat.jpg")), data);
        result = copyFileAtomically(sources_ + "/real.jpg", in("linked.jpg"));
        QVERIFY2(result.ok, qPrintable(result.error));
        QVERIFY(QFileInfo(in("linked.jpg")).isSymLink());
        QCOMPARE(readBytes(sources_ + "/elsewhere.jpg"), data);
        QCOMPARE(entries(folder_), (QStringList{"cat.jpg", "linked.jpg"}));
    }

    // Source | target, refused, nothing touched. %T holds keep.jpg, sub/, FIFO pipe; %0 a NUL.
    void refusesBadPaths_data() {
        addRows({"%S/gone.jpg|%T/keep.jpg", "%S|%T/keep.jpg", "%T/pipe|%T/keep.jpg",
                 "/dev/zero|%T/keep.jpg", "%S/cat.jpg|", "%S/cat.jpg|%T/none/cat.jpg",
                 "%S/cat.jpg|%T/keep.jpg/cat.jpg", "%S/cat.jpg|%T/sub", "%S/cat.jpg|%T/pipe",
                 "%S/cat.jpg%0.txt|%T/keep.jpg", "%S/cat.jpg|%T/keep.jpg%0.txt"});
        QTest::newRow("name of 256 bytes")
            << QStringList{"%S/cat.jpg", "%T/" + QString(252, 'a') + ".jpg"};
    }
    void refusesBadPaths() {
        QFETCH(QStringList, row);
        for (QString& path : row)
            path.replace("%S", sources_).replace("%T", folder_).replace("%0", QChar(0));
        writeFile(sources_ + "/cat.jpg", "new");
        writeFile(in("keep.jpg"), "old");
        QVERIFY(QDir().mkdir(in("sub")));
        const QByteArray pipe = QFile::encodeName(in("pipe"));
        QVERIFY(::mkfifo(pipe.constData(), 0644) == 0);
        const QStringList before = entries(folder_);
        auto pending =
            std::async(std::launch::async, [&] { return copyFileAtomically(row[0], row[1]); });
        if (pending.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ::close(::open(pipe.constData(), O_WRONLY | O_NONBLOCK)); // frees a copy stuck on it
            pending.wait();
            QFAIL("the copy blocked");
        }
        const CopyResult result = pending.get();
        QVERIFY(!result.ok && !result.error.isEmpty());
        QCOMPARE(entries(folder_), before);
        QCOMPARE(readBytes(in("keep.jpg")), QByteArray("old"));
        QVERIFY(QFileInfo(in("sub")).isDir());
    }

    // Buffered | how a save is cut off half-way: the old target stays alone, whatever the cut.
    void interruptedSaveKeepsTarget_data() {
        addRows({"n|disk full", "n|size limit", "n|killed", "n|shrinks", "y|disk full",
                 "y|size limit", "y|killed"});
    }
    void interruptedSaveKeepsTarget() {
        QFETCH(QStringList, row);
        const QString cut = row[1];
        if (row[0] == "y" && !otherFs_->isValid())
            QSKIP("no second file system at /dev/shm");
        const QString source = (row[0] == "y" ? otherFs_->path() : sources_) + "/big.jpg";
        writeFile(source, randomBytes(3 << 20, 4));
        const QByteArray folder = QFile::encodeName(folder_), from = QFile::encodeName(source);
        if (cut == "disk full" &&
            ::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=256k") != 0)
            QSKIP("cannot mount a small tmpfs here");
        const QString target = in("big.jpg");
        const QByteArray old = randomBytes(10000, 5);
        writeFile(target, old);
        if (cut == "killed" && ::close(::open(folder.constData(), O_TMPFILE | O_WRONLY, 0600)))
            QSKIP("no unnamed files on this file system: a killed save leaves its temporary");
        if (cut == "killed") {
            const pid_t child = ::fork();
            if (child == 0) {
                FileSizeLimit limit(1 << 20);
                ::signal(SIGXFSZ, [](int) { ::kill(::getpid(), SIGKILL); });
                copyFileAtomically(source, target);
                ::_exit(0);
            }
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        } else {
            std::optional<FileSizeLimit> limit;
            if (cut == "size limit")
                limit.emplace(64 * 1024);
            const int watch = ::inotify_init1(IN_CLOEXEC);
            std::thread cutter;
            if (cut == "shrinks") {
                QVERIFY(::truncate(from.constData(), off_t(1) << 30) == 0);
                QVERIFY(::inotify_add_watch(watch, folder.constData(), IN_OPEN) >= 0);
                cutter = std::thread([&] {
                    alignas(inotify_event) char events[4096];
                    if (::read(watch, events, sizeof events) > 0)
                        ::truncate(from.constData(), 0);
                });
            }
            const CopyResult result = copyFileAtomically(source, target);
            if (cutter.joinable()) {
                ::close(::open(folder.constData(), O_RDONLY)); // wakes a cutter the copy did not
                cutter.join();
            }
            ::close(watch);
            QVERIFY(!result.ok && !result.error.isEmpty());
        }
        QCOMPARE(readBytes(target), old);
        QCOMPARE(entries(folder_), QStringList{"big.jpg"});
    }

    // Name | f file, d folder, l link | minutes old | cleared by the next save (a killed save's).
    void clearsStaleTemporaries_data() {
        addRows({".kelvane-00000000k3lv4.part|f|60|1", ".kelvane-00000000k3lv4.part|f|1|0",
                 ".kelvane-00000000k3lv4.part|d|60|0", ".kelvane-00000000k3lv4.part|l|60|0",
                 ".kelvane-k3lv4.part|f|60|0", ".kelvane-00000000K3LV4.part|f|60|0"});
    }
    void clearsStaleTemporaries() {
        QFETCH(QStringList, row);
        writeFile(sources_ + "/cat.jpg", "new");
        const QByteArray path = QFile::encodeName(in(row[0]));
        if (row[1] == "f")
            writeFile(in(row[0]), "stale");
        QVERIFY(row[1] != "d" || ::mkdir(path.constData(), 0755) == 0);
        QVERIFY(row[1] != "l" || QFile::link(sources_ + "/cat.jpg", in(row[0])));
        const timespec then[2] = {{0, UTIME_OMIT}, {::time(nullptr) - row[2].toInt() * 60, 0}};
        QVERIFY(::utimensat(AT_FDCWD, path.constData(), then, AT_SYMLINK_NOFOLLOW) == 0);
        const CopyResult result = copyFileAtomically(sources_ + "/cat.jpg", in("cat.jpg"));
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(entries(folder_).contains(row[0]), row[3] == "0");
    }
};

QTEST_GUILESS_MAIN(TestFileCopy)
#include "tst_filecopy.moc"
