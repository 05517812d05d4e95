// The history window: its list, following the client, preview, opening, its pop-up menu,
// deleting.
#include "ClientFixture.h"
#include "history/frmHistory.h"

#include <QAction>
#include <QListView>
#include <QMenu>
#include <QRegularExpression>

using namespace kelvane;
using namespace kelvane::test;

// "Delete From Disk" of the first of "a b a".
struct DeleteRow {
    QString answer;  // to the question; none when it is not asked
    bool trash;      // a Trash can take the file
    QString happens; // meanwhile: "gone", deleted before; "save", a picture c saved
    QString after;   // listed afterwards
    QString where;   // where a is afterwards: here, Trash, nowhere
};
Q_DECLARE_METATYPE(DeleteRow)

class TestFrmHistory : public QObject {
    Q_OBJECT

    ClientFixture f;

    QStringList listed() const {
        QStringList items;
        const QAbstractItemModel* model = f.main->history()->List1->model();
        for (int i = 0; i < model->rowCount(); ++i)
            items << model->index(i, 0).data().toString();
        return items;
    }
    void click(int row, bool twice = false, Qt::MouseButton button = Qt::LeftButton) const {
        const QListView* list = f.main->history()->List1;
        const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
        QTest::mouseEvent(twice ? QTest::MouseDClick : QTest::MouseClick, list->viewport(), button,
                          {}, at);
    }
    // The client with these files in its history, its history window open.
    void openWith(const QStringList& files, const QStringList& values = {}) {
        writeFile(f.historyFile(), (files.join("\r\n") + "\r\n").toUtf8());
        f.load(QStringList{"showhistory=True"} + values, {f.documents()});
        f.handOver();
        QTRY_VERIFY(f.main->history()->isVisible());
        f.fake->calls.clear();
    }
    QStringList messages() const {
        QStringList texts;
        for (const auto& box : f.fake->messageBoxes)
            texts << box.title + ": " + box.text;
        return texts;
    }

private Q_SLOTS:
    void init() { f.reset(); }
    void cleanup() { f.reset(); }

    // The saved files that still exist, newest first, shown after the splash until closed.
    void historyWindow() {
        const QString a = f.picture("a.png"), b = f.picture("b.png");
        writeFile(f.historyFile(), (b + "\r\n" + f.path("gone.png") + "\r\n\r\n" + a).toUtf8());
        frmMain& w = f.load({"showhistory=True"}, {f.documents()});
        frmHistory* history = w.history();
        QCOMPARE(listed(), QStringList({b, a}));
        QVERIFY(!history->isVisible()); // not while the splash is up
        f.handOver();
        QTRY_VERIFY(history->isVisible() && !w.menus().mnuHistory->isEnabled());
        QCOMPARE(history->List1->geometry(), QRect(0, 0, history->width() - 5, 83));
        w.SaveImage(-1, f.picture("c.png"));
        QCOMPARE(listed(), QStringList({f.desktop() + "/c.png", b, a}));
        click(2);
        QTRY_COMPARE(history->List1->toolTip(),
                     " Double-click to open selected image \"" + a + "\" ");
        f.fake->soundsPlayed.clear();
        history->close(); // only hides it
        QCOMPARE(f.fake->soundsPlayed, QStringList{f.cue("click")});
        QVERIFY(!history->isVisible() && !history->Timer1.isActive() && !f.state->bShowHistory);
        QVERIFY(w.menus().mnuHistory->isEnabled());
        w.menus().mnuHistory->trigger();
        QTRY_VERIFY(history->isVisible() && f.state->bShowHistory);
    }

    // A click previews in the client, a double-click opens; a vanished file is said so,
    // stays listed, and the client's reset timer runs either way.
    void clickAndDoubleClick() {
        const QString a = f.picture("a.png"), b = f.picture("b.png");
        openWith({a, b});
        frmMain& w = *f.main;
        click(1);
        QVERIFY(!w.showsBackground() && f.iconInFront() == 0 && w.Timer2.isActive());
        click(1, true);
        QVERIFY(f.fake->calls.contains("openPath: " + b));
        w.Timer2.stop();
        QFile::remove(a);
        click(0);
        click(0, true);
        QStringList said = messages(); // the click and the double-click, each said once at least
        QVERIFY(said.size() >= 2);
        said.removeDuplicates();
        QCOMPARE(said, QStringList{"Kelvane: File no longer exists in specified folder"});
        QVERIFY(w.Timer2.isActive() && !f.fake->calls.contains("openPath: " + a));
        QCOMPARE(listed(), QStringList({a, b}));
    }

    // The right button on an entry offers its items; "Delete From History" forgets it and
    // "Clear History" goes with it; the file stays.
    void menuAndForget() {
        const QString a = f.picture("a.png");
        openWith({a});
        frmHistory* history = f.main->history();
        QVERIFY(f.main->menus().mnuClearHistory->isEnabled());
        click(0, false, Qt::RightButton);
        QTRY_VERIFY(history->mnuFile->isVisible());
        QVERIFY(history->mnuOpen->isEnabled() && history->mnuDeleteFromDisk->isEnabled());
        history->mnuFile->hide();
        history->mnuDelete->trigger();
        QCOMPARE(listed(), QStringList{});
        QVERIFY(!f.main->menus().mnuClearHistory->isEnabled() && QFile::exists(a));
        QCOMPARE(readLines(f.historyFile()), QStringList{});
    }

    // Into the Trash (restorable), or deleted for good where no Trash can take it; the
    // question, when asked, says which.
    void deleteFromDisk_data() {
        QTest::addColumn<DeleteRow>("row");
        QTest::newRow("no question, to the Trash") << DeleteRow{"", true, "", "b", "Trash"};
        QTest::newRow("No") << DeleteRow{"No", true, "", "a b a", "here"};
        QTest::newRow("no Trash, Yes, for good") << DeleteRow{"Yes", false, "", "b", "nowhere"};
        QTest::newRow("file gone already") << DeleteRow{"", true, "gone", "a b a", "nowhere"};
        QTest::newRow("a save meanwhile") << DeleteRow{"Yes", true, "save", "c b", "Trash"};
    }
    void deleteFromDisk() {
        QFETCH(DeleteRow, row);
        const QString a = f.picture("a.png"), b = f.picture("b.png");
        const bool asks = !row.answer.isEmpty();
        openWith({a, b, a}, {QString("alwayspromptfiledelete=") + (asks ? "True" : "False")});
        frmHistory* history = f.main->history();
        f.fake->noTrash = !row.trash;
        f.fake->messageBoxAnswers = {row.answer == "Yes" ? Platform::Answer::Yes
                                                         : Platform::Answer::No};
        if (row.happens == "save")
            f.fake->whileMessageBoxOpen = [&](const auto&) {
                f.fake->whileMessageBoxOpen = nullptr;
                f.main->SaveImage(-1, f.picture("c.png"));
            };
        if (row.happens == "gone")
            QFile::remove(a);
        history->List1->setCurrentIndex(history->List1->model()->index(0, 0));
        history->mnuDeleteFromDisk->trigger();
        QStringList expected;
        if (asks)
            expected << "Confirm Delete: Are you sure you want to " +
                            (row.trash ? "move the file \"" + a + "\" to the Trash?"
                                       : "delete the file \"" + a +
                                             "\" from your disk? No Trash can take it: it will be "
                                             "deleted for good.");
        if (row.happens == "gone")
            expected << "Kelvane: There was an error while attempting to delete this file.";
        QCOMPARE(messages(), expected);
        QCOMPARE(listed().replaceInStrings(QRegularExpression(".*/(.)\\.png$"), "\\1").join(' '),
                 row.after);
        QCOMPARE(QFile::exists(a), row.where == "here");
        // In the Trash: the file, and where it came from, so that it can be restored.
        const QDir trash(qEnvironmentVariable("XDG_DATA_HOME") + "/Trash");
        const QStringList info = QDir(trash.filePath("info")).entryList({"*.trashinfo"});
        QCOMPARE(info.size(), int(row.where == "Trash"));
        if (row.where == "Trash") {
            QVERIFY(readBytes(trash.filePath("info/" + info[0]))
                        .contains("\nPath=" + QUrl::toPercentEncoding(a, "/") + "\n"));
            QVERIFY(QFile::exists(trash.filePath("files/" + info[0].chopped(10))));
        }
        QDir(trash.path()).removeRecursively();
        QCOMPARE(readLines(f.historyFile()), listed());
        QVERIFY(QFile::exists(b));
    }
};

QTEST_MAIN(TestFrmHistory)
#include "tst_frmhistory.moc"
