#include "folders/FolderSlots.h"

#include <QtTest>

using namespace kelvane;
using AddResult = FolderSlots::AddResult;

namespace {

QString folder(int i) {
    return QStringLiteral("/home/user/Folder %1").arg(i);
}

FolderSlots slotsWith(const QList<int>& filled) {
    FolderSlots list;
    for (int i : filled)
        list.setSlot(i, folder(i));
    return list;
}

} // namespace

class TestFolderSlots : public QObject {
    Q_OBJECT

    QTemporaryDir tree_;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(tree_.isValid());
        QDir root(tree_.path());
        QVERIFY(root.mkpath(QStringLiteral("folder")));
        QVERIFY(root.mkpath(QStringLiteral(".hidden/inner")));
        for (const char* name : {"file.jpg", ".hiddenfile"}) {
            QFile f(root.filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
    }

    void ignoresIndexesOutOfRange() {
        FolderSlots list = slotsWith({0, 9});
        const auto before = list.raw();
        for (int i : {-1, 10, 1000}) {
            list.setSlot(i, QStringLiteral("/elsewhere"));
            QVERIFY(list.slot(i).isEmpty());
        }
        QCOMPARE(list.raw(), before);
    }

    // A duplicate in a full list: the limit comes first, and the caller's path is left alone.
    void stopsAtTenBeforeAnythingElse() {
        const QString path = folder(4) + QLatin1Char('/');
        FolderSlots list = slotsWith({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
        const auto before = list.raw();
        QString given = path;
        int where = 5;
        QCOMPARE(list.addFolder(given, &where), AddResult::Full);
        QCOMPARE(where, -1);
        QCOMPARE(given, path);
        QCOMPARE(list.raw(), before);
        QVERIFY(!FolderSlots::messageFor(AddResult::Full).isEmpty());
    }

    void addsOrRejects_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<AddResult>("result");
        QTest::addColumn<QString>("pathAfter");
        QTest::addColumn<QString>("inSlot4"); // a further listed folder, if any
        const QString listed = folder(9);     // listed in the last slot, behind a gap
        QTest::newRow("trailing slash") << listed + "/" << AddResult::Duplicate << listed << "";
        QTest::newRow("only one slash removed") << listed + "//" << AddResult::Added << listed + "/"
                                                << "";
        QTest::newRow("root twice") << "/" << AddResult::Duplicate << "/"
                                    << "/";
        QTest::newRow("empty path") << "" << AddResult::Empty << ""
                                    << "";
    }
    void addsOrRejects() {
        QFETCH(QString, path);
        QFETCH(AddResult, result);
        QFETCH(QString, pathAfter);
        QFETCH(QString, inSlot4);
        FolderSlots list = slotsWith({0, 9});
        list.setSlot(4, inSlot4);
        const auto before = list.raw();

        int where = -2;
        QCOMPARE(list.addFolder(path, &where), result);
        QCOMPARE(path, pathAfter);
        QCOMPARE(FolderSlots::messageFor(result).isEmpty(),
                 result == AddResult::Added || result == AddResult::Empty);
        if (result == AddResult::Added) {
            QCOMPARE(where, 1);
            QCOMPARE(list.slot(1), pathAfter);
            QVERIFY(list.FolderIsInList(pathAfter));
        } else {
            QCOMPARE(where, -1);
            QCOMPARE(list.raw(), before);
        }
    }

    void knowsWhenEmpty() {
        FolderSlots list;
        QVERIFY(list.allEmpty());
        list.setSlot(7, QStringLiteral(" "));
        QVERIFY(!list.allEmpty());
        list.setSlot(7, QString());
        QVERIFY(list.allEmpty());
    }

    void testsPresence_data() {
        QTest::addColumn<QString>("relative"); // inside the test tree
        QTest::addColumn<bool>("present");
        QTest::newRow("folder") << "folder" << true;
        QTest::newRow("folder with trailing slash") << "folder/" << true;
        QTest::newRow("file") << "file.jpg" << true;
        QTest::newRow("hidden folder") << ".hidden" << false;
        QTest::newRow("hidden file") << ".hiddenfile" << false;
        QTest::newRow("plain folder inside a hidden one") << ".hidden/inner" << true;
        QTest::newRow("dot-dot step") << "folder/.." << true;
        QTest::newRow("missing") << "gone" << false;
    }
    void testsPresence() {
        QFETCH(QString, relative);
        QFETCH(bool, present);
        QCOMPARE(FolderSlots::folderPresent(tree_.path() + QLatin1Char('/') + relative), present);
    }

    void rejectsRelativeAndEmptyPaths() {
        const QString saved = QDir::currentPath();
        QVERIFY(QDir::setCurrent(tree_.path()));
        const bool relative = FolderSlots::folderPresent(QStringLiteral("folder"));
        const bool dotted = FolderSlots::folderPresent(QStringLiteral("./folder"));
        QVERIFY(QDir::setCurrent(saved));
        QVERIFY(!relative);
        QVERIFY(!dotted);
        QVERIFY(!FolderSlots::folderPresent(QString()));
        QVERIFY(FolderSlots::folderPresent(QStringLiteral("/")));
    }
};

QTEST_GUILESS_MAIN(TestFolderSlots)
#include "tst_folderslots.moc"
