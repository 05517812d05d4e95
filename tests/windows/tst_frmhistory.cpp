// The history window: its list, docking beside the client, following its visibility, reopening,
// preview, opening, its pop-up menu, deleting, dragging an entry out.
#include "ClientFixture.h"
#include "history/frmHistory.h"

#include <QAction>
#include <QListView>
#include <QMenu>
#include <QRegularExpression>

using namespace kelvane;
using namespace kelvane::test;

class TestFrmHistory : public QObject {
    Q_OBJECT

    ClientFixture f;

    QStringList listed() const { // in the history window
        QStringList items;
        const QAbstractItemModel* model = f.main->history()->List1->model();
        for (int i = 0; i < model->rowCount(); ++i)
            items << model->index(i, 0).data().toString();
        return items;
    }
    QPoint entryAt(int row) const {
        const QListView* list = f.main->history()->List1;
        return list->visualRect(list->model()->index(row, 0)).center();
    }
    // The client with two saved pictures in its history and its history window open.
    void openWith(const QStringList& files, const QStringList& values = {}) {
        writeFile(f.historyFile(), (files.join("\r\n") + "\r\n").toUtf8());
        frmMain& w = f.load(QStringList{"showhistory=True"} + values, {f.documents()});
        f.handOver();
        QTRY_VERIFY(w.history()->isVisible());
        f.fake->calls.clear();
        f.fake->messageBoxes.clear();
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

    // The saved files that still exist, newest first, beside the client until closed.
    void historyWindow() {
        const QString a = f.picture("a.png"), b = f.picture("b.png");
        writeFile(f.historyFile(), (b + "\r\n" + f.path("gone.png") + "\r\n\r\n" + a).toUtf8());
        frmMain& w = f.load({"showhistory=True"}, {f.documents()});
        frmHistory* history = w.history();
        QCOMPARE(listed(), QStringList({b, a}));
        QVERIFY(!history->isVisible()); // not while the splash is up
        f.handOver();
        QTRY_VERIFY(history->isVisible());
        QVERIFY(!w.menus().mnuHistory->isEnabled());
        QCOMPARE(history->List1->geometry(), QRect(0, 0, history->width() - 5, 83));
        w.SaveImage(-1, f.picture("c.png"));
        QCOMPARE(listed(), QStringList({f.desktop() + "/c.png", b, a}));
        history->List1->setCurrentIndex(history->List1->model()->index(2, 0));
        QTRY_COMPARE(history->List1->toolTip(),
                     " Double-click to open selected image \"" + a + "\" ");
        QTRY_COMPARE(history->pos(), w.pos() - QPoint(133, 0)); // 2000 twips left
        w.move(w.pos() + QPoint(40, 30));
        QTRY_COMPARE(history->pos(), w.pos() - QPoint(133, 0));
        w.hide(); // minimised into the tray
        QTRY_VERIFY(!history->isVisible());
        w.show();
        QTRY_VERIFY(history->isVisible());
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
        frmHistory* history = f.main->history();
        frmMain& w = *f.main;
        QTest::mouseClick(history->List1->viewport(), Qt::LeftButton, {}, entryAt(1));
        QVERIFY(!w.showsBackground() && f.iconInFront() == 0 && w.Timer2.isActive());
        QTest::mouseDClick(history->List1->viewport(), Qt::LeftButton, {}, entryAt(1));
        QVERIFY(f.fake->calls.contains("openPath: " + b));
        w.Timer2.stop();
        QFile::remove(a);
        QTest::mouseClick(history->List1->viewport(), Qt::LeftButton, {}, entryAt(0));
        QTest::mouseDClick(history->List1->viewport(), Qt::LeftButton, {}, entryAt(0));
        QStringList said = messages(); // the click and the double-click, each said once at least
        QVERIFY(said.size() >= 2);
        said.removeDuplicates();
        QCOMPARE(said, QStringList{"Kelvane: File no longer exists in specified folder"});
        QVERIFY(w.Timer2.isActive() && !f.fake->calls.contains("openPath: " + a));
        QCOMPARE(listed(), QStringList({a, b}));
    }

    // The right button's menu: its three items only with an entry selected.
    void popupMenu() {
        openWith({f.picture("a.png")});
        frmHistory* history = f.main->history();
        QTest::mouseClick(history->List1->viewport(), Qt::RightButton, {}, QPoint(5, 70));
        QTRY_VERIFY(history->mnuFile->isVisible());
        for (QAction* item : {history->mnuOpen, history->mnuDelete, history->mnuDeleteFromDisk})
            QVERIFY(!item->isEnabled());
        history->mnuFile->hide();
        QTest::mouseClick(history->List1->viewport(), Qt::RightButton, {}, entryAt(0));
        QTRY_VERIFY(history->mnuFile->isVisible());
        QVERIFY(history->mnuOpen->isEnabled() && history->mnuDeleteFromDisk->isEnabled());
        history->mnuFile->hide();
    }

    // "Delete From Disk" of the first of "a b a" moves the file into the Trash (restorable),
    // or deletes it for good where no Trash can take it; the question says which.
    void deleteFromDisk_data() {
        QTest::addColumn<bool>("prompt");
        QTest::addColumn<bool>("yes");        // the answer to the question
        QTest::addColumn<bool>("trash");      // a Trash can take the file
        QTest::addColumn<QString>("happens"); // "gone": deleted before; "save": a save meanwhile
        QTest::addColumn<QString>("after");   // afterwards (c: the picture saved meanwhile)
        QTest::addColumn<QString>("where");   // where a is afterwards: here, Trash, nowhere
        const auto row = [](const char* what, bool prompt, bool yes, bool trash, QString happens,
                            QString after, QString where) {
            QTest::newRow(what) << prompt << yes << trash << happens << after << where;
        };
        row("no question, to the Trash", false, false, true, "", "b", "Trash");
        row("Yes, to the Trash", true, true, true, "", "b", "Trash");
        row("No", true, false, true, "", "a b a", "here");
        row("no Trash, Yes, for good", true, true, false, "", "b", "nowhere");
        row("file gone already", false, false, true, "gone", "a b a", "nowhere");
        row("a save meanwhile", true, true, true, "save", "c b", "Trash");
    }
    void deleteFromDisk() {
        QFETCH(bool, prompt);
        QFETCH(bool, yes);
        QFETCH(bool, trash);
        QFETCH(QString, happens);
        QFETCH(QString, after);
        QFETCH(QString, where);
        const QString a = f.picture("a.png"), b = f.picture("b.png");
        openWith({a, b, a}, {QString("alwayspromptfiledelete=") + (prompt ? "True" : "False")});
        frmHistory* history = f.main->history();
        f.fake->noTrash = !trash;
        f.fake->messageBoxAnswers = {yes ? Platform::Answer::Yes : Platform::Answer::No};
        if (happens == "save")
            f.fake->whileMessageBoxOpen = [&](const auto&) {
                f.fake->whileMessageBoxOpen = nullptr;
                f.main->SaveImage(-1, f.picture("c.png"));
            };
        if (happens == "gone")
            QFile::remove(a);
        history->List1->setCurrentIndex(history->List1->model()->index(0, 0));
        history->mnuDeleteFromDisk->trigger();
        QStringList expected;
        if (prompt)
            expected << (trash ? "Confirm Delete: Are you sure you want to move the file \"" + a +
                                     "\" to the Trash?"
                               : "Confirm Delete: Are you sure you want to delete the file \"" + a +
                                     "\" from your disk? No Trash can take it: it will be "
                                     "deleted for good.");
        if (happens == "gone")
            expected << "Kelvane: There was an error while attempting to delete this file.";
        QCOMPARE(messages(), expected);
        QStringList left = listed();
        left.replaceInStrings(QRegularExpression(".*/(.)\\.png$"), "\\1");
        QCOMPARE(left.join(' '), after);
        QCOMPARE(QFile::exists(a), where == "here");
        // In the Trash: the file, and where it came from, so that it can be restored.
        const QDir trashed(qEnvironmentVariable("XDG_DATA_HOME") + "/Trash");
        const QStringList info = QDir(trashed.filePath("info")).entryList({"*.trashinfo"});
        QCOMPARE(info.size(), where == "Trash" ? 1 : 0);
        if (where == "Trash") {
            QVERIFY(readBytes(trashed.filePath("info/" + info[0]))
                        .contains("\nPath=" + QUrl::toPercentEncoding(a, "/") + "\n"));
            QVERIFY(QFile::exists(trashed.filePath("files/" + info[0].chopped(10))));
        }
        QDir(trashed.path()).removeRecursively();
        QCOMPARE(readLines(f.historyFile()), listed());
        QVERIFY(QFile::exists(b));
    }
    // "Delete From History" forgets the last entry and "Clear History" goes with it; the file
    // stays. An entry dragged out is offered as a copy and stays where it was.
    void forgetAndDragOut() {
        const QString a = f.picture("a.png");
        openWith({a});
        frmHistory* history = f.main->history();
        QVERIFY(f.main->menus().mnuClearHistory->isEnabled());
        QTest::mousePress(history->List1->viewport(), Qt::LeftButton, {}, entryAt(0));
        QTest::mouseMove(history->List1->viewport(), entryAt(0) + QPoint(30, 10));
        QTest::mouseRelease(history->List1->viewport(), Qt::LeftButton, {},
                            entryAt(0) + QPoint(30, 10));
        QCOMPARE(f.fake->calls.filter("dragFileOut"), QStringList{"dragFileOut: " + a});
        history->mnuDelete->trigger();
        QCOMPARE(listed(), QStringList{});
        QVERIFY(!f.main->menus().mnuClearHistory->isEnabled() && QFile::exists(a));
        QCOMPARE(readLines(f.historyFile()), QStringList{});
    }
};

QTEST_MAIN(TestFrmHistory)
#include "tst_frmhistory.moc"
