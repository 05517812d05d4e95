// The history window: its list, following the client, preview, opening, its menu, deleting.
#include "ClientFixture.h"
#include "history/frmHistory.h"

#include <QtWidgets>

using namespace kelvane;
using namespace kelvane::test;

// "Delete From Disk" on the first of "a b a": the answer to the question when asked, whether a
// Trash can take the file, what happens meanwhile (a "gone" already, or a picture c "saved"),
// what is listed afterwards and where a is: here, Trash, nowhere.
struct DeleteRow {
    QString answer;
    bool trash;
    QString happens, after, where;
};
Q_DECLARE_METATYPE(DeleteRow)

class TestFrmHistory : public QObject {
    Q_OBJECT

    ClientFixture f;

    QStringList listed() const {
        QStringList items;
        for (int i = 0; i < f.main->history()->List1->model()->rowCount(); ++i)
            items << f.main->history()->List1->model()->index(i, 0).data().toString();
        return items;
    }
    void click(int row, QTest::MouseAction action = QTest::MouseClick,
               Qt::MouseButton button = Qt::LeftButton) const {
        const QListView* list = f.main->history()->List1;
        QTest::mouseEvent(action, list->viewport(), button, {},
                          list->visualRect(list->model()->index(row, 0)).center());
    }
    void openWith(const QStringList& files, const QString& prompt = "False") {
        writeFile(f.historyFile(), (files.join("\r\n") + "\r\n").toUtf8());
        f.load({"showhistory=True", "alwayspromptfiledelete=" + prompt}, {f.documents()});
        f.handOver();
        QTRY_VERIFY(f.main->history()->isVisible());
    }
    QStringList said() const { // the messages shown, "title: text"
        return f.fake->calls.filter("messageBox: ").replaceInStrings("messageBox: ", "");
    }

private Q_SLOTS:
    void init() { f.reset(); }
    void cleanup() { f.reset(); }

    // The saved files that still exist, newest first, shown until closed.
    void historyWindow() {
        const QString a = f.picture("a.png"), b = f.picture("b.png");
        openWith({b, f.path("gone.png"), "", a});
        frmMain& w = *f.main;
        frmHistory* history = w.history();
        QVERIFY(listed() == QStringList({b, a}) && !w.menus().mnuHistory->isEnabled());
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
        w.menus().mnuHistory->trigger();
        QTRY_VERIFY(history->isVisible() && f.state->bShowHistory);
    }

    // A click previews in the client, a double-click opens; a vanished file is said so and
    // stays listed. The right button offers the items; "Delete From History" forgets the
    // entry and "Clear History" goes with the last; the file stays.
    void clickMenuAndForget() {
        const QString a = f.picture("a.png"), b = f.picture("b.png");
        openWith({a, b});
        frmMain& w = *f.main;
        click(1);
        QVERIFY(!w.showsBackground() && f.iconInFront() == 0 && w.Timer2.isActive());
        click(1, QTest::MouseDClick);
        QVERIFY(f.fake->calls.contains("openPath: " + b));
        QFile::remove(a);
        click(0);
        click(0, QTest::MouseDClick);
        QStringList shown = said();
        shown.removeDuplicates();
        QCOMPARE(shown, QStringList{"Kelvane: File no longer exists in specified folder"});
        QVERIFY(!f.fake->calls.contains("openPath: " + a) && listed() == QStringList({a, b}));
        for (int row : {1, 0}) {
            click(row, QTest::MouseClick, Qt::RightButton);
            QTRY_VERIFY(w.history()->mnuFile->isVisible());
            QVERIFY(w.history()->mnuOpen->isEnabled() && w.menus().mnuClearHistory->isEnabled());
            w.history()->mnuFile->hide();
            w.history()->mnuDelete->trigger();
        }
        QVERIFY(listed().isEmpty() && readLines(f.historyFile()).isEmpty() && QFile::exists(b));
        QVERIFY(!w.menus().mnuClearHistory->isEnabled());
    }

    // Into the Trash, restorable, or deleted for good where no Trash can take it.
    void deleteFromDisk_data() {
        QTest::addColumn<DeleteRow>("row");
        QTest::newRow("No") << DeleteRow{"No", true, "", "a b a", "here"};
        QTest::newRow("no Trash, Yes, for good") << DeleteRow{"Yes", false, "", "b", "nowhere"};
        QTest::newRow("no question, gone already") << DeleteRow{"", true, "gone", "a b a", ""};
        QTest::newRow("a save meanwhile") << DeleteRow{"Yes", true, "saved", "c b", "Trash"};
    }
    void deleteFromDisk() {
        QFETCH(DeleteRow, row);
        const QString a = f.picture("a.png"), b = f.picture("b.png");
        openWith({a, b, a}, row.answer.isEmpty() ? "False" : "True");
        f.fake->noTrash = !row.trash;
        f.fake->messageBoxAnswers = {row.answer == "Yes" ? Platform::Answer::Yes
                                                         : Platform::Answer::No};
        f.fake->whileMessageBoxOpen = [&](const auto&) {
            f.fake->whileMessageBoxOpen = nullptr;
            if (row.happens == "saved")
                f.main->SaveImage(-1, f.picture("c.png"));
        };
        click(0);
        if (row.happens == "gone")
            QFile::remove(a);
        f.main->history()->mnuDeleteFromDisk->trigger();
        QStringList expected;
        if (!row.answer.isEmpty())
            expected << "Confirm Delete: Are you sure you want to " +
                            (row.trash ? "move the file \"" + a + "\" to the Trash?"
                                       : "delete the file \"" + a +
                                             "\" from your disk? No Trash can take it: it will be "
                                             "deleted for good.");
        if (row.happens == "gone")
            expected << "Kelvane: There was an error while attempting to delete this file.";
        QCOMPARE(said(), expected);
        QCOMPARE(listed().replaceInStrings(QRegularExpression(".*/(.)\\.png$"), "\\1").join(' '),
                 row.after);
        QVERIFY(QFile::exists(a) == (row.where == "here") && QFile::exists(b));
        QCOMPARE(readLines(f.historyFile()), listed());
        QDir trash(qEnvironmentVariable("XDG_DATA_HOME") + "/Trash"); // where a came from
        const QStringList info = QDir(trash.filePath("info")).entryList({"*.trashinfo"});
        QCOMPARE(info.size(), int(row.where == "Trash"));
        QVERIFY(info.isEmpty() || (readBytes(trash.filePath("info/" + info[0]))
                                       .contains("\nPath=" + QUrl::toPercentEncoding(a, "/")) &&
                                   QFile::exists(trash.filePath("files/" + info[0].chopped(10)))));
        trash.removeRecursively();
    }
};

QTEST_MAIN(TestFrmHistory)
#include "tst_frmhistory.moc"
