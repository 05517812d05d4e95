#include "TestFiles.h"
#include "platform/posix/FileCopy.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

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

namespace {

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator(seed).generate(data.begin(), data.end());
    return data;
}

} // namespace

class TestFileCopy : public QObject {
    Q_OBJECT

private:
    std::optional<QTemporaryDir> work_;
    std::optional<QTemporaryDir> otherFs_; // on another file system, for the buffered road
    QString sources_;                      // source files live here
    QString folder_;                       // the target folder

    QString inFolder(const QString& name) const { return folder_ + "/" + name; }
    QString sourceFolder(bool otherFileSystem) const {
        return otherFileSystem ? otherFs_->path() : sources_;
    }

private Q_SLOTS:
    void init() {
        work_.emplace();
        QVERIFY(work_->isValid());
        sources_ = work_->filePath("sources");
        folder_ = work_->filePath("target folder");
        QVERIFY(QDir().mkpath(sources_) && QDir().mkpath(folder_));
        otherFs_.emplace("/dev/shm/kelvane-filecopy-XXXXXX");
    }
    void cleanup() {
        ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH); // a "disk full" row's
    }

    // Each row copies on one road (the kernel's, or a buffer's across file systems) to a name
    // the file system must keep as it is. A new file gets 0644 less the umask, never the
    // source's 0755; a replaced file keeps its own mode.
    void copiesWholeContent_data() {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<bool>("otherFileSystem");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("oldMode"); // 0: no file to replace
        QTest::addColumn<int>("mode");
        const qsizetype mib = 1 << 20;
        QTest::newRow("kernel, empty") << qsizetype(0) << false << "cat.jpg" << 022 << 0 << 0644;
        QTest::newRow("kernel, blanks") << mib + 1 << false << "my  cat .jpg" << 077 << 0 << 0600;
        QTest::newRow("kernel, unicode, replacing")
            << 3 * mib + 17 << false << "kätzchen 猫 🐱.jpg" << 022 << 0600 << 0600;
        QTest::newRow("buffered, empty") << qsizetype(0) << true << "-rf.jpg" << 077 << 0 << 0600;
        QTest::newRow("buffered, line break, replacing")
            << mib + 1 << true << "two\nlines.jpg" << 022 << 0640 << 0640;
        QTest::newRow("buffered, 255 bytes")
            << 3 * mib + 17 << true << QString(127, QChar(0xe9)) + "x" << 022 << 0 << 0644;
    }
    void copiesWholeContent() {
        QFETCH(qsizetype, size);
        QFETCH(bool, otherFileSystem);
        QFETCH(QString, name);
        QFETCH(int, mask);
        QFETCH(int, oldMode);
        QFETCH(int, mode);
        if (otherFileSystem && !otherFs_->isValid())
            QSKIP("no second file system at /dev/shm");
        const QByteArray data = randomBytes(size, quint32(size));
        const QString source = sourceFolder(otherFileSystem) + "/cat.jpg";
        const QByteArray target = QFile::encodeName(inFolder(name));
        writeFile(source, data);
        QVERIFY(::chmod(QFile::encodeName(source).constData(), 0755) == 0);
        if (oldMode) {
            writeFile(inFolder(name), randomBytes(300000, 1));
            QVERIFY(::chmod(target.constData(), mode_t(oldMode)) == 0);
        }
        const mode_t old = ::umask(mode_t(mask));
        const CopyResult result = copyFileAtomically(source, inFolder(name));
        ::umask(old);
        QVERIFY2(result.ok, qPrintable(result.error));
        QVERIFY(result.error.isEmpty());
        QCOMPARE(readBytes(inFolder(name)), data);
        QCOMPARE(entries(folder_), QStringList{name});
        struct stat st;
        QVERIFY(::stat(target.constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 07777), mode);
    }

    void followsSymbolicLinks() {
        const QByteArray data = randomBytes(20000, 3);
        writeFile(sources_ + "/real.jpg", data);
        QVERIFY(QFile::link(sources_ + "/real.jpg", sources_ + "/link.jpg"));
        writeFile(sources_ + "/elsewhere.jpg", "old");
        QVERIFY(QFile::link(sources_ + "/elsewhere.jpg", inFolder("linked.jpg")));

        CopyResult result = copyFileAtomically(sources_ + "/link.jpg", inFolder("cat.jpg"));
        QVERIFY2(result.ok, qPrintable(result.error));
        QVERIFY(!QFileInfo(inFolder("cat.jpg")).isSymLink());
        QCOMPARE(readBytes(inFolder("cat.jpg")), data);

        // A target link keeps pointing where it did; its file gets the content.
        result = copyFileAtomically(sources_ + "/real.jpg", inFolder("linked.jpg"));
        QVERIFY2(result.ok, qPrintable(result.error));
        QVERIFY(QFileInfo(inFolder("linked.jpg")).isSymLink());
        QCOMPARE(readBytes(sources_ + "/elsewhere.jpg"), data);
        QCOMPARE(entries(folder_), (QStringList{"cat.jpg", "linked.jpg"}));
    }

    void refusesBadPaths_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        // %S is the folder of sources (it holds cat.jpg), %T the target folder (it holds
        // keep.jpg, a folder "sub" and a FIFO "pipe").
        const char* rows[][3] = {{"source missing", "%S/gone.jpg", "%T/keep.jpg"},
                                 {"source a folder", "%S", "%T/keep.jpg"},
                                 {"source a FIFO", "%T/pipe", "%T/keep.jpg"},
                                 {"source a device", "/dev/zero", "%T/keep.jpg"},
                                 {"target empty", "%S/cat.jpg", ""},
                                 {"target folder missing", "%S/cat.jpg", "%T/none/cat.jpg"},
                                 {"target folder a file", "%S/cat.jpg", "%T/keep.jpg/cat.jpg"},
                                 {"target a folder", "%S/cat.jpg", "%T/sub"},
                                 {"target a FIFO", "%S/cat.jpg", "%T/pipe"},
                                 // %0 is a NUL: the name up to it is a file that exists.
                                 {"NUL in source", "%S/cat.jpg%0.txt", "%T/keep.jpg"},
                                 {"NUL in target", "%S/cat.jpg", "%T/keep.jpg%0.txt"}};
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString(r[1]) << QString(r[2]);
        QTest::newRow("name of 256 bytes")
            << QString("%S/cat.jpg") << QString("%T/" + QString(252, 'a') + ".jpg");
    }
    void refusesBadPaths() {
        QFETCH(QString, source);
        QFETCH(QString, target);
        source.replace("%S", sources_).replace("%T", folder_).replace("%0", QChar(0));
        target.replace("%S", sources_).replace("%T", folder_).replace("%0", QChar(0));
        writeFile(sources_ + "/cat.jpg", "new");
        writeFile(inFolder("keep.jpg"), "old");
        QVERIFY(QDir().mkdir(inFolder("sub")));
        const QByteArray pipe = QFile::encodeName(inFolder("pipe"));
        QVERIFY(::mkfifo(pipe.constData(), 0644) == 0);
        const QStringList before = entries(folder_);

        auto pending =
            std::async(std::launch::async, [&] { return copyFileAtomically(source, target); });
        if (pending.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            // Hung on the FIFO: a writer releases it so that the test can end.
            ::close(::open(pipe.constData(), O_WRONLY | O_NONBLOCK));
            pending.wait();
            QFAIL("the copy blocked");
        }
        const CopyResult result = pending.get();
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(entries(folder_), before);
        QCOMPARE(readBytes(inFolder("keep.jpg")), QByteArray("old"));
        QVERIFY(QFileInfo(inFolder("sub")).isDir());
    }

    // A save cut off half-way leaves the old target whole and nothing beside it: on a full
    // disk, on a file-size limit, and in a child process killed (SIGKILL, no clean-up) the
    // moment it writes past that limit.
    void interruptedSaveKeepsTarget_data() {
        QTest::addColumn<bool>("otherFileSystem");
        QTest::addColumn<QString>("cut");
        for (bool other : {false, true}) {
            for (const char* cut : {"disk full", "size limit", "killed"})
                QTest::addRow("%s copy, %s", other ? "buffered" : "kernel", cut)
                    << other << QString(cut);
        }
    }
    void interruptedSaveKeepsTarget() {
        QFETCH(bool, otherFileSystem);
        QFETCH(QString, cut);
        if (otherFileSystem && !otherFs_->isValid())
            QSKIP("no second file system at /dev/shm");
        const QString source = sourceFolder(otherFileSystem) + "/big.jpg";
        writeFile(source, randomBytes(3 << 20, 4));
        const QByteArray folder = QFile::encodeName(folder_);
        if (cut == "disk full" &&
            ::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=256k") != 0)
            QSKIP("cannot mount a small tmpfs here");
        const QString target = inFolder("big.jpg");
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
            const CopyResult result = copyFileAtomically(source, target);
            QVERIFY(!result.ok);
            QVERIFY(!result.error.isEmpty());
        }
        QCOMPARE(readBytes(target), old);
        QCOMPARE(entries(folder_), QStringList{"big.jpg"});
    }

    // The source is cut short as soon as the save opens anything in the target folder (the
    // source is open and measured by then); a sparse gigabyte keeps the copy going long enough.
    void shrinkingSourceKeepsTarget() {
        const QByteArray source = QFile::encodeName(sources_ + "/cat.jpg");
        const QByteArray folder = QFile::encodeName(folder_);
        writeFile(QFile::decodeName(source), "x");
        QVERIFY(::truncate(source.constData(), off_t(1) << 30) == 0);
        writeFile(inFolder("cat.jpg"), "old");
        const int watch = ::inotify_init1(IN_CLOEXEC);
        QVERIFY(::inotify_add_watch(watch, folder.constData(), IN_OPEN) >= 0);
        std::thread cutter([&] {
            alignas(inotify_event) char events[4096];
            if (::read(watch, events, sizeof events) > 0)
                ::truncate(source.constData(), 0);
        });
        const CopyResult result = copyFileAtomically(sources_ + "/cat.jpg", inFolder("cat.jpg"));
        ::close(::open(folder.constData(), O_RDONLY)); // wakes a cutter the copy did not wake
        cutter.join();
        ::close(watch);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(readBytes(inFolder("cat.jpg")), QByteArray("old"));
        QCOMPARE(entries(folder_), QStringList{"cat.jpg"});
    }

    // What a killed save left is cleared by the next save into the folder: old regular files
    // of exactly the temporary name pattern, and nothing else.
    void clearsStaleTemporaries_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<char>("kind"); // f file, d folder, l symbolic link
        QTest::addColumn<int>("minutesOld");
        QTest::addColumn<bool>("cleared");
        const QString ours = ".kelvane-00000000k3lv4.part";
        QTest::newRow("stale temporary") << ours << 'f' << 60 << true;
        QTest::newRow("temporary being written") << ours << 'f' << 1 << false;
        QTest::newRow("folder by that name") << ours << 'd' << 60 << false;
        QTest::newRow("link by that name") << ours << 'l' << 60 << false;
        QTest::newRow("key too short") << ".kelvane-k3lv4.part" << 'f' << 60 << false;
        QTest::newRow("capitals") << ".kelvane-00000000K3LV4.part" << 'f' << 60 << false;
    }
    void clearsStaleTemporaries() {
        QFETCH(QString, name);
        QFETCH(char, kind);
        QFETCH(int, minutesOld);
        QFETCH(bool, cleared);
        writeFile(sources_ + "/cat.jpg", "new");
        const QByteArray path = QFile::encodeName(inFolder(name));
        if (kind == 'f')
            writeFile(inFolder(name), "stale");
        QVERIFY(kind != 'd' || ::mkdir(path.constData(), 0755) == 0);
        QVERIFY(kind != 'l' || QFile::link(sources_ + "/cat.jpg", inFolder(name)));
        const timespec then[2] = {{0, UTIME_OMIT}, {::time(nullptr) - minutesOld * 60, 0}};
        QVERIFY(::utimensat(AT_FDCWD, path.constData(), then, AT_SYMLINK_NOFOLLOW) == 0);

        const CopyResult result = copyFileAtomically(sources_ + "/cat.jpg", inFolder("cat.jpg"));
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(entries(folder_).contains(name), !cleared);
    }
};

QTEST_GUILESS_MAIN(TestFileCopy)
#include "tst_filecopy.moc"
