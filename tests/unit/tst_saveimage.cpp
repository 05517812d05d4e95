// The save of a dropped picture, against the fake platform: folders, duplicates, failures and
// the feedback of each outcome.
#include "TestFiles.h"
#include "app/frmMain.h"
#include "platform/fake/FakePlatform.h"

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace kelvane;
using namespace kelvane::test;

namespace {

QByteArray pngBytes() {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

std::unique_ptr<QMimeData> filesDrag(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
}

} // namespace

class TestSaveImage : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<FakePlatform> platform_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<frmMain> main_;

    QString desktop() const { return dir_.path() + "/Desktop"; }
    QString pics() const { return dir_.path() + "/Pics"; }
    QString cache() const { return dir_.path() + "/cache"; }
    QString sound(const char* cue) const { return platform_->resources + "/res/" + cue + ".wav"; }

    // Which status icon is in front: the last of the three among the window's children.
    int iconInFront() const {
        const QObjectList& children = main_->children();
        int front = -1, at = -1;
        for (int i = 0; i < 3; ++i) {
            const int pos = children.indexOf(main_->controls().imgIcon[i]);
            if (pos > at) {
                at = pos;
                front = i;
            }
        }
        return front;
    }

    void save(std::int16_t index, const QString& source) {
        const auto data = filesDrag({source});
        main_->saving().SaveImage(index, data.get(), QString(), QString());
    }

private Q_SLOTS:
    void init() {
        QVERIFY(dir_.isValid());
        QDir(dir_.path()).removeRecursively();
        QDir().mkpath(desktop());
        QDir().mkpath(pics());
        QDir().mkpath(cache());
        platform_ = std::make_unique<FakePlatform>();
        platform_->state = dir_.path() + "/state";
        platform_->resources = dir_.path() + "/share";
        state_ = std::make_unique<AppState>();
        state_->sDesktopFolder = desktop();
        state_->bShowSavedImage = state_->bPlayConfirmSound = true;
        state_->bShowSaveErrorMessage = state_->bCorrectQueryStringNames = true;
        main_ = std::make_unique<frmMain>(*platform_, *state_);
        main_->FolderList().setSlot(0, pics());
        main_->controls().Image1->resize(72, 72);
        main_->Timer4.start(); // armed by the drag-over
    }

    void cleanup() { main_.reset(); }

    void feedbackOfEachOutcome_data() {
        QTest::addColumn<QString>("outcome"); // saved, failed, declined
        QTest::addColumn<bool>("showSaved");
        QTest::addColumn<bool>("playSound");
        QTest::addColumn<bool>("showMessage");
        QTest::addColumn<bool>("expectPicture");
        QTest::addColumn<QString>("expectSound");
        QTest::addColumn<bool>("expectMessage"); // for "declined", only the question
        QTest::addColumn<bool>("expectTimer2");
        const struct {
            const char *name, *outcome;
            bool showSaved, playSound, showMessage, picture;
            const char* sound;
            bool message, timer2;
        } rows[] = {{"saved, shown", "saved", 1, 1, 1, 1, "saved", 0, 1},
                    {"saved, shown, silent", "saved", 1, 0, 1, 1, "", 0, 1},
                    {"saved, not shown", "saved", 0, 1, 1, 0, "", 0, 0},
                    {"failed", "failed", 1, 1, 1, 0, "uhoh", 1, 1},
                    {"failed, no message, silent", "failed", 1, 0, 0, 0, "", 0, 1},
                    {"declined", "declined", 1, 1, 1, 0, "", 1, 1}};
        for (const auto& r : rows)
            QTest::newRow(r.name) << QString(r.outcome) << r.showSaved << r.playSound
                                  << r.showMessage << r.picture << QString(r.sound) << r.message
                                  << r.timer2;
    }

    void feedbackOfEachOutcome() {
        QFETCH(QString, outcome);
        QFETCH(bool, showSaved);
        QFETCH(bool, playSound);
        QFETCH(bool, showMessage);
        QFETCH(bool, expectPicture);
        QFETCH(QString, expectSound);
        QFETCH(bool, expectMessage);
        QFETCH(bool, expectTimer2);
        const bool saved = outcome == "saved";
        state_->bShowSavedImage = showSaved;
        state_->bPlayConfirmSound = playSound;
        state_->bShowSaveErrorMessage = showMessage;
        const QString source = cache() + "/cat[1].jpg";
        if (outcome != "failed")
            writeFile(source, pngBytes());
        if (outcome == "declined") {
            writeFile(desktop() + "/cat.jpg", "old");
            platform_->messageBoxAnswers = {Platform::Answer::No};
        }
        const QString idleTip = main_->controls().imgIcon[1]->toolTip();

        save(-1, source);

        const ClientControls& c = main_->controls();
        QCOMPARE(!main_->saving().showsBackground(), expectPicture);
        QCOMPARE(iconInFront(), saved ? 1 : 2);
        QCOMPARE(platform_->soundsPlayed, expectSound.isEmpty()
                                              ? QStringList()
                                              : QStringList{sound(qPrintable(expectSound))});
        QCOMPARE(!platform_->messageBoxes.isEmpty(), expectMessage);
        QCOMPARE(main_->Timer2.isActive(), expectTimer2);
        QCOMPARE(main_->Timer4.isActive(), !saved);
        if (saved) {
            const QString tip = " This image was saved to \"" + desktop() + "/cat.jpg\" ";
            QCOMPARE(c.Image1->toolTip(), tip);
            QCOMPARE(c.imgIcon[1]->toolTip(), tip);
            QCOMPARE(main_->historyList().entries(), QStringList{desktop() + "/cat.jpg"});
            QCOMPARE(readBytes(platform_->state + "/history.dat"),
                     (desktop() + "/cat.jpg\r\n").toUtf8());
        } else {
            QCOMPARE(c.imgIcon[1]->toolTip(), idleTip);
            QVERIFY(main_->historyList().isEmpty());
        }
        if (outcome == "declined") {
            QCOMPARE(platform_->messageBoxes[0].title, QStringLiteral("Replace File?"));
            QCOMPARE(readBytes(desktop() + "/cat.jpg"), QByteArray("old"));
        }
        if (expectMessage && outcome == "failed")
            QVERIFY(platform_->messageBoxes[0].text.startsWith(
                "There was an error while saving this resource. Save image files only. \r\n"));
    }

    void sameNameInTheTargetFolder_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("autoIncrement");
        QTest::addColumn<int>("answer"); // -1: no question expected
        QTest::addColumn<QString>("savedAs");
        QTest::addColumn<QByteArray>("oldFileAfter");
        QTest::addColumn<QString>("base");
        const int no = int(Platform::Answer::No), yes = int(Platform::Answer::Yes);
        // A hidden file is no less the user's: it is asked about like any other.
        QTest::newRow("hidden name, replace: no")
            << 0 << false << no << "" << QByteArray("old") << ".cat";
        for (int index : {-1, 0}) {
            const QByteArray road = index == -1 ? "desktop" : "label";
            QTest::newRow(road + ", numbered")
                << index << true << -1 << "cat (1).jpg" << QByteArray("old") << "cat";
            QTest::newRow(road + ", replace: yes")
                << index << false << yes << "cat.jpg" << QByteArray("new") << "cat";
            QTest::newRow(road + ", replace: no")
                << index << false << no << "" << QByteArray("old") << "cat";
        }
    }

    void sameNameInTheTargetFolder() {
        QFETCH(int, index);
        QFETCH(bool, autoIncrement);
        QFETCH(int, answer);
        QFETCH(QString, savedAs);
        QFETCH(QByteArray, oldFileAfter);
        QFETCH(QString, base);
        state_->bAutoIncrementSavedFiles = autoIncrement;
        state_->bShowSavedImage = false;
        const QString folder = index == -1 ? desktop() : pics();
        writeFile(folder + "/" + base + ".jpg", "old");
        writeFile(cache() + "/" + base + "[2].jpg", "new");
        if (answer >= 0)
            platform_->messageBoxAnswers = {Platform::Answer(answer)};
        save(static_cast<std::int16_t>(index), cache() + "/" + base + "[2].jpg");
        QCOMPARE(platform_->messageBoxes.size(), answer >= 0 ? 1 : 0);
        QCOMPARE(readBytes(folder + "/" + base + ".jpg"), oldFileAfter);
        if (!savedAs.isEmpty()) {
            QCOMPARE(readBytes(folder + "/" + savedAs), QByteArray("new"));
            QCOMPARE(main_->historyList().entries().value(0), folder + "/" + savedAs);
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(),
                 savedAs == "cat (1).jpg" ? 2 : 1);
    }

    void failuresLeaveEverythingInPlace_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("source vanished") << "vanished";
        QTest::newRow("label folder missing") << "missing folder";
        QTest::newRow("label folder is a file") << "file folder";
        QTest::newRow("no file list") << "text";
        QTest::newRow("empty label") << "empty label";
    }

    void failuresLeaveEverythingInPlace() {
        QFETCH(QString, kind);
        QString source = cache() + "/cat.jpg";
        std::int16_t index = 0;
        if (kind != "vanished")
            writeFile(source, "data");
        if (kind == "missing folder")
            main_->FolderList().setSlot(0, dir_.path() + "/gone");
        if (kind == "file folder") {
            writeFile(dir_.path() + "/afile", "x");
            main_->FolderList().setSlot(0, dir_.path() + "/afile");
        }
        if (kind == "empty label")
            index = 3;
        if (kind == "text") {
            QMimeData text;
            text.setText(source);
            main_->saving().SaveImage(-1, &text, QString(), QString());
        } else {
            save(index, source);
        }
        QCOMPARE(iconInFront(), 2);
        QCOMPARE(platform_->soundsPlayed, QStringList{sound("uhoh")});
        QCOMPARE(platform_->messageBoxes.size(), 1);
        QVERIFY(main_->historyList().isEmpty());
        QVERIFY(main_->Timer4.isActive());
        QCOMPARE(QDir(pics()).entryList(QDir::Files | QDir::Hidden).size(), 0);
        QCOMPARE(QDir(desktop()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }

    void fileSizeLimitKeepsTheOldFile() {
        state_->bShowSavedImage = false;
        writeFile(pics() + "/big.jpg", "the old picture");
        writeFile(cache() + "/big.jpg", QByteArray(256 * 1024, 'n'));
        platform_->messageBoxAnswers = {Platform::Answer::Yes};
        {
            const FileSizeLimit limit(64 * 1024);
            save(0, cache() + "/big.jpg");
        }
        QCOMPARE(readBytes(pics() + "/big.jpg"), QByteArray("the old picture"));
        QCOMPARE(QDir(pics()).entryList(QDir::Files | QDir::Hidden), QStringList{"big.jpg"});
        QCOMPARE(iconInFront(), 2);
    }

    void manualSaveWritesExactlyThere_data() {
        QTest::addColumn<int>("index");
        QTest::newRow("desktop road") << -1;
        QTest::newRow("label road") << 0;
    }

    void manualSaveWritesExactlyThere() {
        QFETCH(int, index);
        const QString chosen = dir_.path() + "/elsewhere/my cat.jpg";
        QDir().mkpath(dir_.path() + "/elsewhere");
        writeFile(cache() + "/cat[1].jpg", pngBytes());
        main_->saving().SaveImage(static_cast<std::int16_t>(index), nullptr,
                                  cache() + "/cat[1].jpg", chosen);
        QCOMPARE(readBytes(chosen), pngBytes());
        QCOMPARE(QDir(desktop()).entryList(QDir::Files).size(), 0);
        QCOMPARE(QDir(pics()).entryList(QDir::Files).size(), 0);
        QCOMPARE(main_->historyList().entries(), QStringList{chosen});
    }

    void dropIsAlwaysACopyIntoTheDroppedLabel() {
        // The hover poll has not seen the label yet: the drop's own label still wins, and a
        // proposed move is answered as a copy.
        writeFile(cache() + "/dog[3].jpg", pngBytes());
        main_->iCurrentLabel = -1;
        main_->controls().Text[0]->show();
        const auto data = filesDrag({cache() + "/dog[3].jpg"});
        QDropEvent drop(QPointF(2, 2), Qt::MoveAction | Qt::CopyAction, data.get(), Qt::LeftButton,
                        Qt::NoModifier, QEvent::Drop);
        QVERIFY(main_->drops().handle(main_->controls().Text[0], &drop));
        QCOMPARE(drop.dropAction(), Qt::CopyAction);
        QVERIFY(drop.isAccepted());
        QVERIFY(QFile::exists(pics() + "/dog.jpg"));
        QVERIFY(QFile::exists(cache() + "/dog[3].jpg"));
    }

    void dragOverRecordsThePendingDrop() {
        main_->Timer4.stop();
        const auto files = filesDrag({cache() + "/a.jpg", cache() + "/b.jpg"});
        main_->drops().Text_OLEDragOver(0, files.get());
        QCOMPARE(main_->sInitSaveAsDir, pics());
        QCOMPARE(main_->sTempSaveAsFilename, cache() + "/a.jpg");
        QVERIFY(main_->Timer4.isActive());
    }

    void notAPictureIsSavedThenReported() {
        writeFile(cache() + "/fake.jpg", "this is no picture");
        save(-1, cache() + "/fake.jpg");
        QVERIFY(QFile::exists(desktop() + "/fake.jpg"));
        QCOMPARE(platform_->messageBoxes.size(), 1);
        QCOMPARE(platform_->messageBoxes[0].text,
                 QStringLiteral("Could not load the Image. It is either corrupt or missing."));
        QCOMPARE(iconInFront(), 1);
        QCOMPARE(main_->historyList().size(), 1);
    }

    void missingDesktopFolderIsCreated() {
        QDir(desktop()).removeRecursively();
        writeFile(cache() + "/cat.jpg", pngBytes());
        save(-1, cache() + "/cat.jpg");
        QVERIFY(QFile::exists(desktop() + "/cat.jpg"));
    }

    void clearHistoryAndItsMenu() {
        // The history started empty: "Clear History" stays disabled for the whole run.
        QAction* clear = main_->menus().mnuClearHistory;
        main_->Form_Load();
        QVERIFY(!clear->isEnabled());
        state_->bShowSavedImage = false;
        writeFile(cache() + "/cat.jpg", "x");
        save(-1, cache() + "/cat.jpg");
        QVERIFY(!clear->isEnabled());
        clear->setEnabled(true);
        clear->trigger();
        QVERIFY(main_->historyList().isEmpty());
        QCOMPARE(readBytes(platform_->state + "/history.dat"), QByteArray());
        main_->Form_Unload();
    }

    void doubleClickOpensTheNewestOrShowsTheDesktop() {
        main_->saving().Image1_DblClick();
        QCOMPARE(platform_->calls.filter("showDesktop").size(), 1);

        writeFile(cache() + "/one.png", pngBytes());
        save(-1, cache() + "/one.png");
        main_->saving().Image1_DblClick();
        QCOMPARE(platform_->calls.filter("openPath").value(0),
                 "openPath: " + desktop() + "/one.png");

        QFile::remove(desktop() + "/one.png");
        platform_->messageBoxes.clear();
        main_->saving().Image1_DblClick();
        QCOMPARE(platform_->messageBoxes.value(0).text,
                 QStringLiteral("File no longer exists in specified folder"));

        main_->saving().Timer2_Timer();
        QVERIFY(main_->saving().showsBackground());
        QCOMPARE(iconInFront(), 0);
        QCOMPARE(main_->controls().Image1->toolTip(),
                 QStringLiteral(" Drag image here to save to \"Desktop\" "));
        QVERIFY(!main_->Timer2.isActive());
    }
};

QTEST_MAIN(TestSaveImage)
#include "tst_saveimage.moc"
