#include "TestFiles.h"
#include "core/AppState.h"
#include "folders/FolderSlots.h"
#include "history/HistoryList.h"
#include "platform/fake/FakePlatform.h"
#include "saving/SavePipeline.h"

#include <memory>
#include <optional>

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

    // A file of the dropped name is numbered, replaced after a "yes", or kept after a "no".
    void sameName_data() {
        QTest::addColumn<int>("index"); // -1 the Desktop, 0 the label folder
        QTest::addColumn<bool>("numbering");
        QTest::addColumn<QString>("answer"); // to "Replace File?", "" when not asked
        QTest::addColumn<QString>("dropped");
        QTest::addColumn<QStringList>("there");
        QTest::addColumn<QString>("saved"); // "" when declined
        QTest::newRow("fresh, name corrected") << -1 << false << ""
                                               << "cat[1].jpeg" << QStringList() << "cat.jpg";
        QTest::newRow("numbered") << 0 << true << ""
                                  << "cat[2].jpg" << QStringList{"cat.jpg", "cat (1).jpg"}
                                  << "cat (2).jpg";
        QTest::newRow("replaced") << 0 << false << "yes"
                                  << "cat.jpg" << QStringList{"cat.jpg"} << "cat.jpg";
        QTest::newRow("dot-named file kept") << 0 << false << "no"
                                             << ".cat.jpg" << QStringList{".cat.jpg"} << "";
    }
    void sameName() {
        QFETCH(int, index);
        QFETCH(bool, numbering);
        QFETCH(QString, answer);
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
        platform_->messageBoxAnswers = {answer == "yes" ? Platform::Answer::Yes
                                                        : Platform::Answer::No};

        const SaveOutcome outcome = save(index, at("cache/") + dropped);

        QVERIFY(!busyWhileAsked_ && !platform_->busy);
        QCOMPARE(platform_->messageBoxes.size(), answer.isEmpty() ? 0 : 1);
        if (!answer.isEmpty())
            QCOMPARE(platform_->messageBoxes[0].title, QStringLiteral("Replace File?"));
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
        for (const char* kind : {"no source", "empty label", "Desktop under a file",
                                 "file-size limit", "no numbered name left"})
            QTest::newRow(kind) << QString(kind);
    }
    void failures() {
        QFETCH(QString, kind);
        writeFile(at("cache/big.jpg"), QByteArray(256 * 1024, 'n'));
        const int index = kind == "empty label" ? 3 : kind == "Desktop under a file" ? -1 : 0;
        state_.sDesktopFolder = at("kept.jpg/Desktop");
        writeFile(at("Pics/big.jpg"), "old"); // and the user agrees to replace it
        platform_->messageBoxAnswers = {Platform::Answer::Yes};
        state_.bAutoIncrementSavedFiles = kind == "no numbered name left";
        for (int i = 1; i <= 1000 && state_.bAutoIncrementSavedFiles; ++i)
            writeFile(at("Pics/big (%1).jpg").arg(i), "");
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
};

QTEST_GUILESS_MAIN(TestSavePipeline)
#include "tst_savepipeline.moc"
