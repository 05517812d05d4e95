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

    // Delete From Disk of the first of "a b a": prompt | answer | a there | meanwhile (a save
    // while the question is open) | listed afterwards (c: the picture saved meanwhile).
    void deleteFromDisk_data() {
        addRows({"off||there||b", "on|Yes|there||b", "on|No|there||a b a", "off||gone||a b a",
                 "on|Yes|there|save|c b"});
    }
    void deleteFromDisk() {
        QFETCH(QStringList, row);
        const QString a = f.picture("a.png"), b = f.picture("b.png");
        openWith({a, b, a},
                 {QString("alwayspromptfiledelete=") + (row[0] == "on" ? "True" : "False")});
        frmHistory* history = f.main->history();
        if (!row[1].isEmpty())
            f.fake->messageBoxAnswers = {row[1] == "Yes" ? Platform::Answer::Yes
                                                         : Platform::Answer::No};
        if (row[3] == "save")
            f.fake->whileMessageBoxOpen = [&](const auto&) {
                f.fake->whileMessageBoxOpen = nullptr;
                f.main->SaveImage(-1, f.picture("c.png"));
            };
        if (row[2] == "gone")
            QFile::remove(a);
        history->List1->setCurrentIndex(history->List1->model()->index(0, 0));
        history->mnuDeleteFromDisk->trigger();
        QStringList expected;
        if (row[0] == "on")
            expected << "Confirm Delete: Are you sure you want to delete the file \"" + a +
                            "\" from your disk?";
        if (row[2] == "gone")
            expected << "Kelvane: There was an error while attempting to delete this file.";
        QCOMPARE(messages(), expected);
        QStringList after = listed();
        after.replaceInStrings(QRegularExpression(".*/(.)\\.png$"), "\\1");
        QCOMPARE(after.join(' '), row[4]);
        QCOMPARE(QFile::exists(a), row[2] == "there" && row[4].contains('a'));
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
