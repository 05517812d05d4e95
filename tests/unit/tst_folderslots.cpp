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

    // Present: an existing entry named by an absolute path, not itself hidden.
    void testsPresence_data() {
        QTest::addColumn<QString>("path"); // "~/" the test tree
        QTest::addColumn<bool>("present");
        QTest::newRow("folder") << "~/folder" << true;
        QTest::newRow("inside a hidden folder") << "~/.hidden/in" << true;
        QTest::newRow("ends in ..") << "~/folder/.." << true;
        QTest::newRow("root") << "/" << true;
        QTest::newRow("hidden") << "~/.hidden" << false;
        QTest::newRow("gone") << "~/gone" << false;
        QTest::newRow("relative") << "folder" << false;
    }
    void testsPresence() {
        QFETCH(QString, path);
        QFETCH(bool, present);
        QCOMPARE(FolderSlots::folderPresent(path.replace("~/", tree_.path() + "/")), present);
    }
};

QTEST_GUILESS_MAIN(TestFolderSlots)
#include "tst_folderslots.moc"
