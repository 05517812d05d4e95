#include "TestFiles.h"
#include "core/AppState.h"
#include "folders/FolderSlots.h"
#include "history/HistoryList.h"
#include "platform/fake/FakePlatform.h"
#include "saving/FileNaming.h"
#include "saving/Preview.h"
#include "saving/SavePipeline.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QtEndian>

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
    // Every file of the Desktop, the label folder and one elsewhere, with its contents.
    QStringList targetFiles() const {
        QStringList all;
        for (const QString folder : {"Desktop", "Pics", "elsewhere"})
            for (const QString& name : entries(at(folder)))
                all << folder + "/" + name + "=" + readBytes(at(folder + "/" + name));
        all.sort();
        return all;
    }
    SaveOutcome save(int index, const QString& source, const QString& manual = {}) {
        return SavePipeline(state_, folders_, history_, at("state/history.dat"), *platform_)
            .SaveImage(std::int16_t(index), source, manual, nullptr);
    }
    // The headers of a 24-bit BMP, claiming width x height.
    static QByteArray bmpHeader(int width, int height) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        QImage(1, 1, QImage::Format_RGB888).save(&buffer, "BMP");
        qToLittleEndian<qint32>(width, bytes.data() + 18);
        qToLittleEndian<qint32>(height, bytes.data() + 22);
        return bytes.left(54);
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

    // A file of the dropped name is numbered, or replaced after "Replace File?", or kept; the
    // save dialog's path wins, unasked: the dialog has asked already. A failed or declined save
    // changes no file and leaves the history as it was. Files are named by their folder, Desktop
    // or Pics (the label folder) or elsewhere.
    void saves_data() {
        QTest::addColumn<int>("index"); // -1 the Desktop, 0 the label folder
        QTest::addColumn<QString>("dropped");
        QTest::addColumn<QStringList>("there");
        QTest::addColumn<QString>("saved"); // "" when declined or failed
        QTest::addColumn<Result>("result");
        QTest::addColumn<QString>("shown"); // the question's title, or the message
        QTest::addColumn<QString>("how");   // numbering, through the save dialog, or what fails
        const auto row = [](const char* name, int index, const QString& dropped,
                            const QStringList& there, const QString& saved, Result result,
                            const QString& shown = {}, const QString& how = {}) {
            QTest::newRow(name) << index << dropped << there << saved << result << shown << how;
        };
        const QString replace = "Replace File?",
                      two = "File with duplicate file name could not be saved.";
        const Result ok = Result::Saved, failed = Result::Failed;
        QStringList thousand{"Pics/cat.jpg"};
        for (int i = 1; i <= 1000; ++i)
            thousand << QStringLiteral("Pics/cat (%1).jpg").arg(i);
        row("fresh, name corrected", -1, "cat[1].jpeg", {}, "Desktop/cat.jpg", ok);
        row("replaced", 0, "cat.jpg", {"Pics/cat.jpg", "Pics/cat (1).jpg"}, "Pics/cat.jpg", ok,
            replace);
        row("dot-named file kept", 0, ".cat.jpg", {"Pics/.cat.jpg"}, "", Result::Declined, replace);
        row("numbered", 0, "cat[2].jpg", {"Pics/cat.jpg"}, "Pics/cat (1).jpg", ok, "", "numbering");
        row("numbered past a gap", 0, "cat.jpg",
            {"Pics/cat.jpg", "Pics/cat (1).jpg", "Pics/cat (3).jpg"}, "Pics/cat (4).jpg", ok, "",
            "numbering");
        row("numbered, four-letter extension", 0, "page.html", {"Pics/page.html"},
            "Pics/page. (1)html", ok, "", "numbering");
        row("no number in a name under four characters", 0, "a.b", {"Pics/a.b"}, "", failed, two,
            "numbering");
        row("no number within a character", 0, "a😀bcd", {"Pics/a😀bcd"}, "", failed, two,
            "numbering");
        row("no number past a thousand", 0, "cat.jpg", thousand, "", failed, two, "numbering");
        row("the save dialog's path", 0, "cat[1].jpg",
            {"elsewhere/my cat.jpg", "Desktop/my cat.jpg", "Pics/my cat.jpg"},
            "elsewhere/my cat.jpg", ok, "", "dialog");
        row("no source", 0, "cat.jpg", {}, "", failed, "", "no source");
        row("empty label", 3, "cat.jpg", {}, "", failed);
        row("Desktop under a file", -1, "cat.jpg", {}, "", failed, "", "Desktop under a file");
        row("file-size limit, after Replace", 0, "big.jpg", {"Pics/big.jpg"}, "", failed, replace,
            "file-size limit");
    }
    void saves() {
        QFETCH(int, index);
        QFETCH(QString, dropped);
        QFETCH(QStringList, there);
        QFETCH(QString, saved);
        QFETCH(Result, result);
        QFETCH(QString, shown);
        QFETCH(QString, how);
        QStringList files;
        for (const QString& name : there) {
            writeFile(at(name), "old");
            files << name + (name == saved ? "=new" : "=old");
        }
        if (!saved.isEmpty() && !there.contains(saved))
            files << saved + "=new";
        writeFile(at("cache/") + dropped,
                  how == "file-size limit" ? QByteArray(1 << 18, 'n') : "new");
        state_.bAutoIncrementSavedFiles = how == "numbering";
        if (how == "Desktop under a file")
            state_.sDesktopFolder = at("kept.jpg/Desktop");
        platform_->messageBoxAnswers = {result == Result::Declined ? Platform::Answer::No
                                                                   : Platform::Answer::Yes};
        std::optional<FileSizeLimit> limit;
        if (how == "file-size limit")
            limit.emplace(1 << 16);
        const SaveOutcome outcome = save(index, how == "no source" ? "" : at("cache/") + dropped,
                                         how == "dialog" ? at(saved) : "");
        limit.reset();
        QVERIFY(!busyWhileAsked_ && !platform_->busy);
        QStringList messages;
        for (const auto& box : platform_->messageBoxes)
            messages << (box.buttons == Platform::Buttons::YesNo ? box.title : box.text);
        QCOMPARE(messages.join(';'), shown);
        files.sort();
        QCOMPARE(targetFiles(), files);
        QCOMPARE(outcome.result, result);
        QCOMPARE(outcome.reason.isEmpty(), result != Result::Failed);
        QCOMPARE(outcome.path, saved.isEmpty() ? "" : at(saved));
        // A failed or declined save leaves the history, and its file, as they were.
        const QStringList history = saved.isEmpty() ? QStringList{at("kept.jpg"), at("gone.jpg")}
                                                    : QStringList{outcome.path, at("kept.jpg")};
        QCOMPARE(history_.entries(), history);
        QCOMPARE(QFileInfo::exists(at("state/history.dat")), !saved.isEmpty());
        QCOMPARE(readLines(at("state/history.dat")), saved.isEmpty() ? QStringList() : history);
    }

    // A browser cache's "[n]" goes before .jpg and .gif (n up to 100), extensions are unified.
    void correctFileName_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("decodeSpaces");
        QTest::addColumn<QString>("name");
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

    // A preview no larger than twice its box: a picture of 8200 x 8200 needs more than the
    // 256 MiB a decoder may take by default. Bad or missing files give no picture.
    void previews_data() {
        QTest::addColumn<QByteArray>("bytes"); // none: no file
        QTest::addColumn<qint64>("size");      // the file made this long, its pixels a hole
        QTest::addColumn<QSize>("shown");
        const int side = 8200;
        QTest::newRow("8200 x 8200 BMP, shown square")
            << bmpHeader(side, side) << 54 + qint64(side * 3) * side << QSize(144, 144);
        QTest::newRow("JPEG cut short")
            << QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11) << qint64(11) << QSize(0, 0);
        QTest::newRow("BMP of 30000 x 30000, header only")
            << bmpHeader(30000, 30000) << qint64(54) << QSize(0, 0);
        QTest::newRow("no file") << QByteArray() << qint64(0) << QSize(0, 0);
    }
    void previews() {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, size);
        QFETCH(QSize, shown);
        if (!bytes.isEmpty())
            writeFile(at("picture"), bytes);
        QVERIFY(bytes.isEmpty() || QFile::resize(at("picture"), size));
        QCOMPARE(decodePreview(at("picture"), QSize(72, 90)).size(), shown);
    }

    // Newest first, ten at most; the vanished go, dot-named files stay. A second run reads at
    // most nine lines, blank ones too, and lists only regular files, reached by any name (a NUL
    // would cut the name short); a FIFO for the file is never opened: it would wait.
    void history() {
        HistoryList list;
        // Every change is told to the window's view as it should be.
        QAbstractItemModelTester tester(&list,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QString a = picture("a é.jpg"), dot = picture(".dot.jpg"), file = at("history.dat");
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
        QVERIFY(list.writeFile(file));
        QCOMPARE(readLines(file), kept);
        list.FillList(file);
        QCOMPARE(list.entries(), kept);

        QVERIFY(QFile::link(a, at("link.jpg")) && QFile::link("/p/gone", at("dangling")));
        QCOMPARE(::mkfifo(QFile::encodeName(at("fifo")).constData(), 0600), 0);
        QStringList lines{a, "", at("link.jpg"), "/p/vanished.jpg", at("fifo"), at("dangling")};
        lines << a + QChar(0) + "x" << dot << at("1.jpg") << at("3.jpg");
        writeFile(file, (lines.join('\n') + '\n').toUtf8());
        list.FillList(file);
        QCOMPARE(list.entries(), QStringList({a, at("link.jpg"), dot, at("1.jpg")}));
        QVERIFY(QFile::remove(file) && ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
        list.FillList(file);
        QVERIFY(list.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSavePipeline)
#include "tst_savepipeline.moc"
