#include "TestFiles.h"
#include "core/AppState.h"
#include "folders/FolderSlots.h"
#include "history/HistoryList.h"
#include "platform/fake/FakePlatform.h"
#include "saving/FileNaming.h"
#include "saving/Preview.h"
#include "saving/SavePipeline.h"

#include <QAbstractItemModelTester>
#include <QDataStream>

#include <memory>
#include <optional>
#include <sys/stat.h>

using namespace kelvane;
using namespace kelvane::test;
using Result = SaveOutcome::Result;

class TestSavePipeline : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::optional<FakePlatform> platform_;
    AppState state_;
    FolderSlots folders_;
    HistoryList history_;
    bool busyWhileAsked_ = false;

    QString at(const QString& name) const { return dir_.filePath(name); }
    QString picture(const QString& name) { // a saved picture: its path
        writeFile(at(name), "x");
        return at(name);
    }
    // Every file of the Desktop and the label folder, with its contents.
    QStringList targetFiles() const {
        QStringList all;
        for (const QString& folder : {at("Desktop"), at("Pics")})
            for (const QString& name : entries(folder))
                all << name + "=" + readBytes(folder + "/" + name);
        all.sort();
        return all;
    }
    SaveOutcome save(int index, const QString& source, const QString& manual = {}) {
        return SavePipeline(state_, folders_, history_, at("state/history.dat"), *platform_)
            .SaveImage(std::int16_t(index), source, manual, nullptr);
    }
    // A failed or declined save leaves the history, and its file, as they were.
    void checkHistoryUnchanged() {
        QCOMPARE(history_.entries(), QStringList({at("kept.jpg"), at("gone.jpg")}));
        QVERIFY(!QFileInfo::exists(at("state/history.dat")));
    }

    // The headers of an uncompressed 24-bit BMP of width x height.
    static QByteArray bmpHeader(int width, int height) {
        const quint32 pixels = quint32((width * 3 + 3) & ~3) * quint32(height);
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out.writeRawData("BM", 2);
        out << quint32(54 + pixels) << quint32(0) << quint32(54) << quint32(40) << qint32(width)
            << qint32(height) << quint16(1) << quint16(24) << quint32(0) << quint32(pixels)
            << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
        return bytes;
    }

private Q_SLOTS:
    void init() {
        QVERIFY(QDir(dir_.path()).removeRecursively() && QDir().mkpath(at("Desktop")));
        QVERIFY(QDir().mkpath(at("Pics")) && QDir().mkpath(at("cache")));
        platform_.emplace();
        busyWhileAsked_ = false;
        platform_->whileMessageBoxOpen = [this](auto&) { busyWhileAsked_ |= platform_->busy; };
        state_ = AppState();
        state_.sDesktopFolder = at("Desktop");
        folders_.setSlot(0, at("Pics"));
        writeFile(at("kept.jpg"), "kept");
        history_.clear();
        history_.AddToHistory(at("gone.jpg"));
        history_.AddToHistory(at("kept.jpg"));
    }

    // A file of the dropped name is numbered, or replaced after "Replace File?", or kept.
    void sameName_data() {
        QTest::addColumn<int>("index"); // -1 the Desktop, 0 the label folder
        QTest::addColumn<bool>("numbering");
        QTest::addColumn<QString>("dropped");
        QTest::addColumn<QStringList>("there");
        QTest::addColumn<QString>("saved"); // "" when declined
        const QStringList two{"cat.jpg", "cat (1).jpg"};
        QTest::newRow("fresh, name corrected")
            << -1 << false << "cat[1].jpeg" << QStringList() << "cat.jpg";
        QTest::newRow("numbered") << 0 << true << "cat[2].jpg" << two << "cat (2).jpg";
        QTest::newRow("replaced") << 0 << false << "cat.jpg" << two << "cat.jpg";
        QTest::newRow("dot-named file kept")
            << 0 << false << ".cat.jpg" << QStringList{".cat.jpg"} << "";
    }
    void sameName() {
        QFETCH(int, index);
        QFETCH(bool, numbering);
        QFETCH(QString, dropped);
        QFETCH(QStringList, there);
        QFETCH(QString, saved);
        const QString folder = at(index == -1 ? "Desktop" : "Pics");
        QStringList files;
        for (const QString& name : there) {
            writeFile(folder + "/" + name, "old");
            files << name + (name == saved ? "=new" : "=old");
        }
        if (!saved.isEmpty() && !there.contains(saved))
            files << saved + "=new";
        writeFile(at("cache/") + dropped, "new");
        state_.bAutoIncrementSavedFiles = numbering;
        platform_->messageBoxAnswers = {saved.isEmpty() ? Platform::Answer::No
                                                        : Platform::Answer::Yes};
        const SaveOutcome outcome = save(index, at("cache/") + dropped);
        QVERIFY(!busyWhileAsked_ && !platform_->busy);
        const bool asked = !numbering && !there.isEmpty();
        QCOMPARE(platform_->messageBoxes.size(), int(asked));
        QVERIFY(!asked || platform_->messageBoxes[0].title == "Replace File?");
        files.sort();
        QCOMPARE(targetFiles(), files);
        QCOMPARE(outcome.result, saved.isEmpty() ? Result::Declined : Result::Saved);
        if (saved.isEmpty())
            return checkHistoryUnchanged();
        QCOMPARE(outcome.path, folder + "/" + saved);
        const QStringList history{outcome.path, at("kept.jpg")};
        QCOMPARE(history_.entries(), history);
        QCOMPARE(readLines(at("state/history.dat")), history);
    }

    // The save dialog's path wins; it has asked already, so no question about a file of the name.
    void manualTargetWins() {
        for (const QString folder : {"elsewhere", "Desktop", "Pics"})
            writeFile(at(folder + "/my cat.jpg"), "old");
        writeFile(at("cache/cat[1].jpg"), "new");
        const SaveOutcome outcome = save(0, at("cache/cat[1].jpg"), at("elsewhere/my cat.jpg"));
        QCOMPARE(readBytes(outcome.path), QByteArray("new"));
        QCOMPARE(readLines(at("state/history.dat")).value(0), at("elsewhere/my cat.jpg"));
        QCOMPARE(targetFiles(), QStringList({"my cat.jpg=old", "my cat.jpg=old"}));
        QVERIFY(platform_->messageBoxes.isEmpty());
    }

    // Nothing is saved, nothing in the folders changes, the history stays as it was.
    void failures_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind :
             {"no source", "empty label", "Desktop under a file", "file-size limit"})
            QTest::newRow(kind) << QString(kind);
    }
    void failures() {
        QFETCH(QString, kind);
        writeFile(at("cache/big.jpg"), QByteArray(256 * 1024, 'n'));
        const int index = kind == "empty label" ? 3 : kind == "Desktop under a file" ? -1 : 0;
        state_.sDesktopFolder = at("kept.jpg/Desktop");
        writeFile(at("Pics/big.jpg"), "old"); // and the user agrees to replace it
        platform_->messageBoxAnswers = {Platform::Answer::Yes};
        const QStringList before = targetFiles();

        auto limit =
            kind == "file-size limit" ? std::make_unique<FileSizeLimit>(64 * 1024) : nullptr;
        const SaveOutcome outcome = save(index, kind == "no source" ? "" : at("cache/big.jpg"));
        limit.reset();

        QCOMPARE(outcome.result, Result::Failed);
        QVERIFY(outcome.path.isEmpty() && !outcome.reason.isEmpty());
        QCOMPARE(targetFiles(), before);
        checkHistoryUnchanged();
        QVERIFY(!busyWhileAsked_ && !platform_->busy);
    }

    // A browser cache's "[n]" goes before .jpg and .gif (n up to 100), extensions are unified.
    void correctFileName_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("decodeSpaces");
        QTest::addColumn<QString>("name");
        QTest::newRow(".jpeg, then [2]") << "/c/photo[2].jpeg" << true << "photo.jpg";
        QTest::newRow(".jpe") << "/c/photo.jpe" << true << "photo.jpg";
        QTest::newRow(".tiff") << "/c/scan.tiff" << true << "scan.tif";
        QTest::newRow("[100] goes") << "/c/cat[100].gif" << true << "cat.gif";
        QTest::newRow("[101] stays") << "/c/p[101].jpg" << true << "p[101].jpg";
        QTest::newRow("%20 kept") << "/c/my%20cat[1].jpg" << false << "my%20cat.jpg";
        QTest::newRow("only %20 decoded") << "/c/a%2Bb%20c.jpg" << true << "a%2Bb c.jpg";
        QTest::newRow("in the root") << "/cat[1].jpg" << true << "/cat.jpg";
    }
    void correctFileName() {
        QFETCH(QString, source);
        QFETCH(bool, decodeSpaces);
        QFETCH(QString, name);
        QCOMPARE(CorrectFileName(source, decodeSpaces), name);
    }

    // The number goes before the last four characters: one past the highest taken.
    void incrementFileName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("numbered"); // "" when none can be made (a message then)
        QStringList thousand;
        for (int i = 1; i <= 1000; ++i)
            thousand << QStringLiteral("cat (%1).jpg").arg(i);
        QTest::newRow("first") << "cat.jpg" << QStringList() << "cat (1).jpg";
        QTest::newRow("past a gap")
            << "cat.jpg" << QStringList{"cat (1).jpg", "cat (3).jpg"} << "cat (4).jpg";
        QTest::newRow("four-letter extension") << "page.html" << QStringList() << "page. (1)html";
        QTest::newRow("name under four characters") << "a.b" << QStringList() << "";
        QTest::newRow("would split a character") << "a😀bcd" << QStringList() << "";
        QTest::newRow("a thousand taken") << "cat.jpg" << thousand << "";
    }
    void incrementFileName() {
        QFETCH(QString, name);
        QFETCH(QStringList, taken);
        QFETCH(QString, numbered);
        for (const QString& file : taken)
            writeFile(at(file), "x");
        FakePlatform platform;
        QCOMPARE(IncrementFileName(at(name), platform), numbered.isEmpty() ? "" : at(numbered));
        QCOMPARE(platform.messageBoxes.size(), numbered.isEmpty() ? 1 : 0);
    }

    // A regular file, reached by any name; a NUL would cut the name short.
    void fileExists_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::newRow("file") << "file.jpg" << true;
        QTest::newRow("link to a file") << "link.jpg" << true;
        QTest::newRow("FIFO") << "fifo" << false;
        QTest::newRow("dangling link") << "dangling.jpg" << false;
        QTest::newRow("NUL after a file's name") << QString("file.jpg") + QChar(0) + "x" << false;
    }
    void fileExists() {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        writeFile(at("file.jpg"), "x");
        QCOMPARE(::mkfifo(QFile::encodeName(at("fifo")).constData(), 0600), 0);
        QVERIFY(QFile::link(at("file.jpg"), at("link.jpg")));
        QVERIFY(QFile::link(at("gone.jpg"), at("dangling.jpg")));
        QCOMPARE(FileExists(at(name)), exists);
    }

    // A picture of 8200 x 8200 needs more than the 256 MiB a decoder may take by default.
    void hugePictureIsShownSmall() {
        const int side = 8200;
        writeFile(at("huge.bmp"), bmpHeader(side, side));
        QVERIFY(QFile::resize(at("huge.bmp"), 54 + qint64(side * 3) * side)); // pixels: a hole
        const QImage image = decodePreview(at("huge.bmp"), QSize(72, 90));
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(144, 144)); // twice the box at most, the picture square
    }

    void badFilesGiveNoPicture_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("JPEG cut short") << QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11);
        QTest::newRow("BMP of 30000 x 30000, header only") << bmpHeader(30000, 30000);
    }
    void badFilesGiveNoPicture() {
        QFETCH(QByteArray, bytes);
        writeFile(at("bad.jpg"), bytes);
        QVERIFY(decodePreview(at("bad.jpg"), QSize(72, 72)).isNull());
        QVERIFY(decodePreview(at("missing.jpg"), QSize(72, 72)).isNull());
    }

    // Newest first, ten at most; the vanished go, dot-named files stay; a second run reads it.
    void addRemoveAndReadBack() {
        HistoryList list;
        // Every change is told to the window's view as it should be.
        QAbstractItemModelTester tester(&list,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QString a = picture("a é.jpg"), dot = picture(".dot.jpg");
        for (const QString& p : {at("oldest.jpg"), a, dot, a})
            list.AddToHistory(p);
        for (int i = 0; i < 7; ++i)
            list.AddToHistory(i % 2 ? picture(QStringLiteral("%1.jpg").arg(i)) : "/p/gone.jpg");
        QCOMPARE(list.size(), 10);
        QCOMPARE(list.entries().mid(7), QStringList({a, dot, a}));
        list.RemoveMissingFromHistory();
        list.AddToHistory("/p/line\nbreak.jpg"); // could not be read back as one line
        const QStringList kept = list.entries().mid(1);
        QCOMPARE(kept.size(), 6);
        QVERIFY(list.writeFile(at("history.dat")));
        QCOMPARE(readLines(at("history.dat")), kept);
        HistoryList next;
        next.AddToHistory("/p/stale.jpg");
        next.FillList(at("history.dat"));
        QCOMPARE(next.entries(), kept);
    }

    // Nine lines read at most, blank and vanished ones too; a FIFO is never opened: it would wait.
    void fillList_data() {
        QTest::addColumn<bool>("fifo");
        QTest::addColumn<int>("listed");
        QTest::newRow("blank and vanished lines") << false << 7;
        QTest::newRow("a FIFO in its place") << true << 0;
    }
    void fillList() {
        QFETCH(bool, fifo);
        QFETCH(int, listed);
        const QString path = at("fill/history.dat");
        QStringList saved;
        for (int i = 0; i < 9; ++i)
            saved << picture(QStringLiteral("fill/%1.jpg").arg(i));
        const QStringList lines =
            QStringList{saved[0], "", saved[1], "/p/vanished.jpg"} + saved.mid(2);
        QFile::remove(path);
        if (fifo)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            writeFile(path, (lines.join('\n') + '\n').toUtf8());
        HistoryList list;
        list.AddToHistory(saved[8]);
        list.FillList(path);
        QCOMPARE(list.entries(), saved.mid(0, listed));
    }
};

QTEST_GUILESS_MAIN(TestSavePipeline)
#include "tst_savepipeline.moc"
