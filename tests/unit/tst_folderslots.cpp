#include "TestFiles.h"
#include "folders/FolderSlots.h"

using namespace kelvane;
using namespace kelvane::test;

class TestFolderSlots : public QObject {
    Q_OBJECT

    QTemporaryDir tree_;
    QString savedCurrent_;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(QDir().mkpath(tree_.filePath("folder")) &&
                QDir().mkpath(tree_.filePath(".hidden/in")));
        writeFile(tree_.filePath("file.jpg"), "x");
        writeFile(tree_.filePath(".hiddenfile"), "x");
        // Relative paths would find these, were they looked up in the working folder.
        savedCurrent_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(tree_.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(savedCurrent_); }

    void ignoresIndexesOutOfRange() {
        FolderSlots list;
        for (int i : {-1, 10, 1000})
            list.setSlot(i, "/elsewhere");
        QVERIFY(list.allEmpty() && list.slot(-1).isEmpty() && list.slot(10).isEmpty());
    }

    // Path ("~/" the test tree) | present: an existing entry by an absolute path, not hidden.
    void testsPresence_data() {
        addRows({"~/folder|1", "~/folder/|1", "~/file.jpg|1", "~/.hidden/in|1", "~/folder/..|1",
                 "/|1", "~/.hidden|0", "~/.hiddenfile|0", "~/gone|0", "folder|0", "./folder|0",
                 "|0"});
    }
    void testsPresence() {
        QFETCH(QStringList, row);
        QCOMPARE(FolderSlots::folderPresent(row[0].replace("~/", tree_.path() + "/")),
                 row[1] == "1");
    }
};

QTEST_GUILESS_MAIN(TestFolderSlots)
#include "tst_folderslots.moc"
