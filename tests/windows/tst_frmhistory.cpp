// The history window: its list, docking beside the client, following its visibility, reopening.
#include "ClientFixture.h"
#include "history/frmHistory.h"

#include <QAction>
#include <QListWidget>

using namespace kelvane;
using namespace kelvane::test;

class TestFrmHistory : public QObject {
    Q_OBJECT

    ClientFixture f;

    QStringList listed() const { // in the history window
        QStringList items;
        for (int i = 0; i < f.main->history()->List1->count(); ++i)
            items << f.main->history()->List1->item(i)->text();
        return items;
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
        w.SaveImage(-1, f.picture("c.png"));
        QCOMPARE(listed(), QStringList({f.desktop() + "/c.png", b, a}));
        history->List1->setCurrentRow(2);
        QTRY_COMPARE(history->List1->toolTip(),
                     " Double-click to open selected image \"" + a + "\" ");
        QTRY_COMPARE(history->geometry().topLeft(), w.pos() - QPoint(133, 0)); // 2000 twips left
        w.move(w.pos() + QPoint(40, 30));
        QTRY_COMPARE(history->geometry().topLeft(), w.pos() - QPoint(133, 0));
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
};

QTEST_MAIN(TestFrmHistory)
#include "tst_frmhistory.moc"
