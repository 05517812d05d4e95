#include "core/PendingDrop.h"
#include "folders/FolderSlots.h"
#include "folders/LabelHover.h"

#include <QtTest>

using namespace kelvane;

class TestLabelHover : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Two hover ticks over labels 0 and 3 (the only ones with folders), or elsewhere.
    void followsTheCursor_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<bool>("changed"); // by the second tick
        QTest::addColumn<int>("highlighted");
        QTest::addColumn<int>("target"); // of the pending drop
        QTest::newRow("onto a label") << -1 << 3 << true << 3 << 3;
        QTest::newRow("stays on it") << 3 << 3 << false << 3 << 3;
        QTest::newRow("to another label") << 3 << 0 << true << 0 << 0;
        QTest::newRow("off the labels: target kept") << 3 << -1 << true << -1 << 3;
        QTest::newRow("past the last label") << 0 << 10 << true << -1 << 0;
        QTest::newRow("over an empty label") << -1 << 5 << false << -1 << -1;
    }
    void followsTheCursor() {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(bool, changed);
        QFETCH(int, highlighted);
        QFETCH(int, target);
        FolderSlots folders;
        folders.setSlot(0, "/data/a");
        folders.setSlot(3, "/data/d");
        PendingDrop pending;
        pending.iCurrentLabel = -1;
        LabelHover hover(folders, pending);
        QCOMPARE(hover.Timer3_Timer(first), first == 0 || first == 3);
        QCOMPARE(hover.Timer3_Timer(second), changed);
        QCOMPARE(hover.highlighted(), highlighted);
        QCOMPARE(int(pending.iCurrentLabel), target);
        QCOMPARE(hover.ClearLabelHighlights(), highlighted != -1);
        QCOMPARE(hover.highlighted(), -1);
    }
};

QTEST_GUILESS_MAIN(TestLabelHover)
#include "tst_labelhover.moc"
