#include "TestFiles.h"
#include "platform/posix/FileCopy.h"
#include "platform/posix/FileOps.h"

#include <QProcess>
#include <QRandomGenerator>

#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

    // The whole content under the target's name, alone; a new file's mode from the umask, a
    // replaced file's kept. The buffered road runs when the source is on another file system.
    // A source link is followed; a target link keeps pointing where it did, its file copied to.
    // Of earlier saves' leftovers only a killed one's goes: a file of its name pattern, stale.
    void copiesWholeContent_data() {
        QTest::addColumn<bool>("otherFs");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("umask");
        QTest::addColumn<int>("replacedMode"); // 0: nothing replaced
        QTest::addColumn<QString>("link");     // "source", "target" or none
        QTest::newRow("replaces, keeps its mode")
            << false << "kätzchen 猫 🐱.jpg" << 022 << 0600 << "";
        QTest::newRow("buffered, line break") << true << "two\nlines.jpg" << 022 << 0640 << "";
        QTest::newRow("buffered, 255-byte name, umask 077")
            << true << QString(127, QChar(0xe9)) + "x" << 077 << 0 << "";
        QTest::newRow("source a link") << false << "cat.jpg" << 022 << 0 << "source";
        QTest::newRow("target a link") << false << "linked.jpg" << 022 << 0604 << "target";
    }
    void copiesWholeContent() {
        QFETCH(bool, otherFs);
        QFETCH(QString, name);
        QFETCH(int, umask);
        QFETCH(int, replacedMode);
        QFETCH(QString, link);
        if (otherFs && !otherFs_->isValid())
            QSKIP("no second file system at /dev/shm");
        const QString from = otherFs ? otherFs_->path() : sources_, source = from + "/cat.jpg";
        const QString replaced = link == "target" ? from + "/elsewhere.jpg" : in(name);
        const QByteArray data = randomBytes(3145745, 2), target = QFile::encodeName(in(name));
        writeFile(source, data);
        QVERIFY(::chmod(QFile::encodeName(source).constData(), 0755) == 0);
        if (replacedMode) {
            writeFile(replaced, randomBytes(300000, 1));
            QVERIFY(::chmod(QFile::encodeName(replaced).constData(), mode_t(replacedMode)) == 0);
        }
        const QStringList leftovers{".kelvane-0000000000old.part", ".kelvane-00000000fresh.part",
                                    ".kelvane-k3lv4.part"}; // stale, a save at work, not ours
        for (int i = 0; i < 3; ++i) {
            writeFile(in(leftovers[i]), "stale");
            const timespec then[2] = {{0, UTIME_OMIT},
                                      {::time(nullptr) - (i == 1 ? 1 : 60) * 60, 0}};
            QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(in(leftovers[i])).constData(), then,
                                0) == 0);
        }
        QVERIFY(link != "source" || QFile::link(source, from + "/link.jpg"));
        QVERIFY(link != "target" || QFile::link(replaced, in(name)));
        const mode_t old = ::umask(mode_t(umask));
        const CopyResult result =
            copyFileAtomically(link == "source" ? from + "/link.jpg" : source, in(name));
        ::umask(old);
        QVERIFY2(result.ok && result.error.isEmpty(), qPrintable(result.error));
        QCOMPARE(readBytes(replaced), data);
        QCOMPARE(QFileInfo(in(name)).isSymLink(), link == "target");
        // A linked target's file is written in its own folder: the link's folder is not tidied.
        QStringList alone = QStringList{name} + leftovers.mid(link == "target" ? 0 : 1);
        alone.sort();
        QCOMPARE(entries(folder_), alone);
        struct stat st;
        QVERIFY(::stat(target.constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 07777), replacedMode ? replacedMode : 0666 & ~umask);
    }

    // Refused or cut off half-way, the target folder's files stay as they were: keep.jpg, a
    // folder sub and a FIFO pipe. A full disk fails the copy where the size limit does; a sysfs
    // file has fewer bytes than its size says.
    void failures_data() {
        // %S the sources' folder (%O instead: on another file system, copied through a
        // buffer), %T the target folder
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("cut"); // a size limit, or killed by its signal
        const QString nul(QChar(0));
        const auto row = [](const char* name, const QString& source, const QString& target,
                            const QString& cut = {}) {
            QTest::newRow(name) << source << target << cut;
        };
        row("source gone", "%S/gone.jpg", "%T/keep.jpg");
        row("source a FIFO", "%T/pipe", "%T/keep.jpg");
        row("no target folder", "%S/cat.jpg", "%T/none/cat.jpg");
        row("a file for a folder", "%S/cat.jpg", "%T/keep.jpg/cat.jpg");
        row("target a folder", "%S/cat.jpg", "%T/sub");
        row("target a FIFO", "%S/cat.jpg", "%T/pipe");
        row("NUL in the source", "%S/cat.jpg" + nul + ".txt", "%T/keep.jpg");
        row("NUL in the target", "%S/cat.jpg", "%T/keep.jpg" + nul + ".txt");
        row("name of 256 bytes", "%S/cat.jpg", "%T/" + QString(252, 'a') + ".jpg");
        row("size limit", "%S/cat.jpg", "%T/keep.jpg", "size limit");
        row("buffered, size limit", "%O/cat.jpg", "%T/keep.jpg", "size limit");
        row("killed", "%S/cat.jpg", "%T/keep.jpg", "killed");
        row("source shorter than it says", "/sys/devices/system/cpu/online", "%T/keep.jpg");
    }
    void failures() {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, cut);
        if (source.startsWith("%O") && !otherFs_->isValid())
            QSKIP("no second file system at /dev/shm");
        const QString sources = source.startsWith("%O") ? otherFs_->path() : sources_;
        source.replace("%S", sources).replace("%O", sources).replace("%T", folder_);
        target.replace("%S", sources).replace("%T", folder_);
        if (source.startsWith("/sys/") && !QFileInfo::exists(source))
            QSKIP("no sysfs");
        writeFile(sources + "/cat.jpg", randomBytes(3 << 20, 4));
        writeFile(in("keep.jpg"), "old");
        QVERIFY(QDir().mkdir(in("sub")));
        QVERIFY(::mkfifo(QFile::encodeName(in("pipe")).constData(), 0644) == 0);
        const QStringList before = entries(folder_);
        const QByteArray folder = QFile::encodeName(folder_);
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
            const CopyResult result = copyFileAtomically(source, target); // a FIFO must not block
            QVERIFY(!result.ok && !result.error.isEmpty());
        }
        QCOMPARE(entries(folder_), before);
        QCOMPARE(readBytes(in("keep.jpg")), QByteArray("old"));
        QVERIFY(QFileInfo(in("sub")).isDir());
    }

    // Whatever a crash, a power cut or someone else left as the one-copy lock, two copies
    // starting together give exactly one holder, at once; nothing outside is touched.
    void oneCopyLockTakesOverLeftovers_data() {
        QTest::addColumn<QString>("leftover"); // made by sh: $LOCK the lock, $KEEP a file outside
        QTest::newRow("garbage") << R"(printf '\377\000\n\n-7\nkelvane' >"$LOCK")";
        QTest::newRow("a folder") << R"(mkdir "$LOCK")";
        QTest::newRow("a folder with a file") << R"(mkdir "$LOCK" && echo >"$LOCK/inner")";
        QTest::newRow("a link to a file") << R"(ln -s "$KEEP" "$LOCK")";
        QTest::newRow("a pipe") << R"(mkfifo "$LOCK")";
        QTest::newRow("a second name of a file") << R"(ln "$KEEP" "$LOCK")";
    }
    void oneCopyLockTakesOverLeftovers() {
        QFETCH(QString, leftover);
        const QString lock = in("kelvane.lock"), outside = sources_ + "/keep";
        writeFile(outside, "keep");
        qputenv("LOCK", QFile::encodeName(lock));
        qputenv("KEEP", QFile::encodeName(outside));
        for (int round = 0; round < 20; ++round) {
            QCOMPARE(QProcess::execute("sh", {"-c", R"(rm -rf "$LOCK" && )" + leftover}), 0);
            int go[2], results[2];
            QVERIFY(::pipe(go) == 0 && ::pipe(results) == 0);
            pid_t copies[2];
            for (pid_t& copy : copies)
                if ((copy = ::fork()) == 0) { // a starting copy: at the signal, takes the lock
                    char c;
                    ::close(go[1]);
                    [[maybe_unused]] auto r = ::read(go[0], &c, 1);
                    const OneCopyLock taken = lockOneCopy(lock);
                    c = taken.fd >= 0 ? 'T' : taken.heldElsewhere ? 'h' : '-';
                    r = ::write(results[1], &c, 1);
                    ::pause(); // and keeps it
                }
            ::close(go[1]); // both start now
            ::close(results[1]);
            QByteArray seen;
            pollfd wait{results[0], POLLIN, 0};
            for (char c;
                 seen.size() < 2 && ::poll(&wait, 1, 10000) == 1 && ::read(results[0], &c, 1) == 1;)
                seen += c;
            for (const pid_t copy : copies) {
                ::kill(copy, SIGKILL);
                ::waitpid(copy, nullptr, 0);
            }
            ::close(go[0]);
            ::close(results[0]);
            std::sort(seen.begin(), seen.end());
            QCOMPARE(seen, QByteArray("Th"));
        }
        QCOMPARE(readBytes(outside), QByteArray("keep"));
        if (leftover.contains("inner"))
            QVERIFY(!QDir(folder_).entryList({"kelvane.lock.*"}).isEmpty()); // set aside, kept
    }
};

QTEST_GUILESS_MAIN(TestFileCopy)
#include "tst_filecopy.moc"
