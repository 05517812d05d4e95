// The history window beside the client, against the fake platform.
#include "ClientFixture.h"
#include "history/frmHistory.h"

#include <QAction>
#include <QListWidget>

using namespace kelvane;
using namespace kelvane::test;

class TestFrmHistory : public QObject {
    Q_OBJECT

    ClientFixture f;

    QStringList listed() const {
        QStringList items;
        for (int i = 0; i < f.main->history()->List1->count(); ++i)
            items << f.main->history()->List1->item(i)->text();
        return items;
    }

private Q_SLOTS:
    void init() { f.reset(); }
    void cleanup() { f.reset(); }

    void listsTheSavedFilesThatStillExist() {
        const QString a = f.picture("a.png"), b = f.picture("b.png");
        writeFile(f.historyFile(), (b + "\r\n" + f.path("gone.png") + "\r\n\r\n" + a).toUtf8());
        frmMain& w = f.load({"showhistory=True"}, {f.documents()});
        QCOMPARE(listed(), QStringList({b, a}));
        QVERIFY(!w.history()->isVisible()); // not while the splash is up
        f.handOver();
        QTRY_VERIFY(w.history()->isVisible());
        QVERIFY(!w.menus().mnuHistory->isEnabled());
        w.SaveImage(-1, f.picture("c.png"));
        QCOMPARE(listed(), QStringList({f.desktop() + "/c.png", b, a}));
        w.history()->List1->setCurrentRow(2);
        QTRY_COMPARE(w.history()->List1->toolTip(),
                     " Double-click to open selected image \"" + a + "\" ");
    }

    void followsTheClientUntilClosed() {
        frmMain& w = f.load();
        f.handOver();
        w.menus().mnuHistory->trigger();
        frmHistory* history = w.history();
        QTRY_VERIFY(history->isVisible());
        QCOMPARE(history->geometry().topLeft(), w.pos() - QPoint(133, 0)); // 2000 twips left
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
    }
};

QTEST_MAIN(TestFrmHistory)
#include "tst_frmhistory.moc"
