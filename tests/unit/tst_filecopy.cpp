#include "TestFiles.h"
#include "platform/posix/FileCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <future>
#include <memory>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace kelvane;
using namespace kelvane::test;

namespace {

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    for (char& c : data)
        c = char(generator.bounded(256));
    return data;
}

// Takes a mount away again when it goes.
struct Unmount {
    QByteArray path;
    ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
};

} // namespace

class TestFileCopy : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> work_;
    std::unique_ptr<QTemporaryDir> otherFs_; // on another file system, for the buffered road
    QString sources_;                        // source files live here
    QString folder_;                         // the target folder

    QString inFolder(const QString& name) const { return folder_ + "/" + name; }
    QString sourceFolder(bool otherFileSystem) const {
        return otherFileSystem ? otherFs_->path() : sources_;
    }

private Q_SLOTS:
    void init() {
        work_ = std::make_unique<QTemporaryDir>();
        QVERIFY(work_->isValid());
        sources_ = work_->filePath("sources");
        folder_ = work_->filePath("target folder");
        QVERIFY(QDir().mkpath(sources_) && QDir().mkpath(folder_));
        otherFs_ = std::make_unique<QTemporaryDir>("/dev/shm/kelvane-filecopy-XXXXXX");
    }
    void cleanup() {
        otherFs_.reset();
        work_.reset();
    }

    void copiesWholeContent_data() {
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<bool>("otherFileSystem");
        const qsizetype mib = 1 << 20;
        for (bool other : {false, true}) {
            const char* road = other ? "buffered" : "kernel";
            for (qsizetype size : {qsizetype(0), mib + 1, 3 * mib + 17})
                QTest::addRow("%s, %lld bytes", road, qlonglong(size)) << size << other;
        }
    }
    void copiesWholeContent() {
        QFETCH(qsizetype, size);
        QFETCH(bool, otherFileSystem);
        if (otherFileSystem && !otherFs_->isValid())
            QSKIP("no second file system at /dev/shm");
        const QByteArray data = randomBytes(size, quint32(size));
        const QString source = sourceFolder(otherFileSystem) + "/cat.jpg";
        writeFile(source, data);
        const CopyResult result = copyFileAtomically(source, inFolder("cat.jpg"));
        QVERIFY2(result.ok, qPrintable(result.error));
        QVERIFY(result.error.isEmpty());
        QCOMPARE(readBytes(inFolder("cat.jpg")), data);
        QCOMPARE(entries(folder_), QStringList{"cat.jpg"});
    }

    void keepsTargetName_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("blanks") << "my  cat .jpg";
        QTest::newRow("unicode") << QString::fromUtf8("kätzchen 猫 🐱.jpg");
        QTest::newRow("leading dash") << "-rf.jpg";
        QTest::newRow("line break") << "two\nlines.jpg";
        QTest::newRow("255 bytes, multi-byte") << QString(127, QChar(0xe9)) + "x";
    }
    void keepsTargetName() {
        QFETCH(QString, name);
        const QByteArray data = randomBytes(5000, 7);
        writeFile(sources_ + "/cat.jpg", data);
        const CopyResult result = copyFileAtomically(sources_ + "/cat.jpg", inFolder(name));
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(entries(folder_), QStringList{name});
        QCOMPARE(readBytes(inFolder(name)), data);
    }

    void newFileMode_data() {
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("mode");
        QTest::newRow("umask 022") << 022 << 0644;
        QTest::newRow("umask 077") << 077 << 0600;
    }
    void newFileMode() {
        QFETCH(int, mask);
        QFETCH(int, mode);
        const QString source = sources_ + "/run.sh";
        writeFile(source, "#!/bin/sh\n");
        QVERIFY(::chmod(QFile::encodeName(source).constData(), 0755) == 0);
        const mode_t old = ::umask(mode_t(mask));
        const CopyResult result = copyFileAtomically(source, inFolder("run.sh"));
        ::umask(old);
        QVERIFY2(result.ok, qPrintable(result.error));
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(inFolder("run.sh")).constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 07777), mode);
    }

    void replacesExistingTarget() {
        writeFile(inFolder("cat.jpg"), randomBytes(300000, 1));
        QVERIFY(::chmod(QFile::encodeName(inFolder("cat.jpg")).constData(), 0600) == 0);
        const QByteArray data = randomBytes(1000, 2);
        writeFile(sources_ + "/cat.jpg", data);
        const CopyResult result = copyFileAtomically(sources_ + "/cat.jpg", inFolder("cat.jpg"));
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(readBytes(inFolder("cat.jpg")), data);
        QCOMPARE(entries(folder_), QStringList{"cat.jpg"});
        QCOMPARE(QFileInfo(inFolder("cat.jpg")).permissions(),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
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
                                 {"target a FIFO", "%S/cat.jpg", "%T/pipe"}};
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString(r[1]) << QString(r[2]);
        QTest::newRow("name of 256 bytes")
            << QString("%S/cat.jpg") << QString("%T/" + QString(252, 'a') + ".jpg");
    }
    void refusesBadPaths() {
        QFETCH(QString, source);
        QFETCH(QString, target);
        source.replace("%S", sources_).replace("%T", folder_);
        target.replace("%S", sources_).replace("%T", folder_);
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

    void fileSizeLimitKeepsTarget_data() {
        QTest::addColumn<bool>("otherFileSystem");
        QTest::newRow("kernel copy") << false;
        QTest::newRow("buffered copy") << true;
    }
    void fileSizeLimitKeepsTarget() {
        QFETCH(bool, otherFileSystem);
        if (otherFileSystem && !otherFs_->isValid())
            QSKIP("no second file system at /dev/shm");
        const QString source = sourceFolder(otherFileSystem) + "/big.jpg";
        writeFile(source, randomBytes(1 << 20, 4));
        const QByteArray old = randomBytes(4000, 5);
        writeFile(inFolder("big.jpg"), old);
        CopyResult result;
        {
            FileSizeLimit limit(64 * 1024);
            result = copyFileAtomically(source, inFolder("big.jpg"));
        }
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(readBytes(inFolder("big.jpg")), old);
        QCOMPARE(entries(folder_), QStringList{"big.jpg"});
    }

    void fullFileSystemKeepsTarget() {
        const QByteArray small = QFile::encodeName(inFolder("small"));
        QVERIFY(QDir().mkdir(inFolder("small")));
        if (::mount("tmpfs", small.constData(), "tmpfs", 0, "size=256k") != 0)
            QSKIP("cannot mount a small tmpfs here");
        const Unmount unmount{small};
        const QString folder = inFolder("small");
        const QByteArray old = randomBytes(10000, 6);
        writeFile(folder + "/cat.jpg", old);
        writeFile(sources_ + "/cat.jpg", randomBytes(1 << 20, 7));

        const CopyResult result = copyFileAtomically(sources_ + "/cat.jpg", folder + "/cat.jpg");
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(readBytes(folder + "/cat.jpg"), old);
        QCOMPARE(entries(folder), QStringList{"cat.jpg"});
    }

    // The source is cut short right after the copy has begun (the temporary file's creation
    // in the target folder is the signal); a sparse gigabyte keeps the copy going long enough.
    void shrinkingSourceKeepsTarget() {
        const QByteArray source = QFile::encodeName(sources_ + "/cat.jpg");
        writeFile(QFile::decodeName(source), "x");
        QVERIFY(::truncate(source.constData(), off_t(1) << 30) == 0);
        writeFile(inFolder("cat.jpg"), "old");

        const int watch = ::inotify_init1(IN_CLOEXEC);
        const int done = ::eventfd(0, EFD_CLOEXEC);
        QVERIFY(watch >= 0 && done >= 0);
        QVERIFY(::inotify_add_watch(watch, QFile::encodeName(folder_).constData(), IN_CREATE) >= 0);
        bool cut = false;
        std::thread cutter([&] {
            pollfd fds[2] = {{watch, POLLIN, 0}, {done, POLLIN, 0}};
            if (::poll(fds, 2, 60000) > 0 && (fds[0].revents & POLLIN))
                cut = ::truncate(source.constData(), 0) == 0;
        });
        const CopyResult result =
            copyFileAtomically(QFile::decodeName(source), inFolder("cat.jpg"));
        const quint64 one = 1;
        (void)::write(done, &one, sizeof one);
        cutter.join();
        ::close(watch);
        ::close(done);

        QVERIFY(cut);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(readBytes(inFolder("cat.jpg")), QByteArray("old"));
        QCOMPARE(entries(folder_), QStringList{"cat.jpg"});
    }
};

QTEST_GUILESS_MAIN(TestFileCopy)
#include "tst_filecopy.moc"
