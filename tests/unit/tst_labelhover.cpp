#include "TestFiles.h"
#include "core/PendingDrop.h"
#include "folders/FolderSlots.h"
#include "folders/LabelHover.h"

using namespace kelvane;
using namespace kelvane::test;

class TestLabelHover : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Labels at two ticks (0, 3 listed) | highlight changed | highlighted | pending drop target.
    void followsTheCursor_data() {
        addRows({"-1 3|1|3|3", "3 3|0|3|3", "3 0|1|0|0", "3 5|1|-1|3", "3 -1|1|-1|3",
                 "-1 5|0|-1|-1", "0 10|1|-1|0", "-1 -7|0|-1|-1"});
    }
    void followsTheCursor() {
        QFETCH(QStringList, row);
        FolderSlots folders;
        folders.setSlot(0, "/data/a");
        folders.setSlot(3, "/data/d");
        PendingDrop pending;
        pending.iCurrentLabel = -1;
        LabelHover hover(folders, pending);
        const int first = row[0].section(' ', 0, 0).toInt();
        QCOMPARE(hover.Timer3_Timer(first), first == 0 || first == 3);
        QCOMPARE(hover.Timer3_Timer(row[0].section(' ', 1).toInt()), row[1] == "1");
        QCOMPARE(hover.highlighted(), row[2].toInt());
        QCOMPARE(pending.iCurrentLabel, row[3].toShort());
        QCOMPARE(hover.ClearLabelHighlights(), row[2] != "-1");
        QCOMPARE(hover.highlighted(), -1);
    }
};

QTEST_GUILESS_MAIN(TestLabelHover)
#include "tst_labelhover.moc"
