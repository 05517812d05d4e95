#include "TestFiles.h"
#include "history/HistoryList.h"

#include <QAbstractItemModelTester>

#include <optional>
#include <sys/stat.h>

using namespace kelvane;
using namespace kelvane::test;

class TestHistoryList : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString picture(const QString& name) { // a saved picture: its path
        writeFile(dir_.filePath(name), "x");
        return dir_.filePath(name);
    }

private Q_SLOTS:
    // Newest first, ten at most; the vanished go, dot-named files stay; a second run reads it.
    void addRemoveAndReadBack() {
        HistoryList list;
        // Every change is told to the window's view as it should be.
        QAbstractItemModelTester tester(&list,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QString a = picture("a é.jpg"), dot = picture(".dot.jpg");
        for (const QString& p : {dir_.filePath("oldest.jpg"), a, dot, a})
            list.AddToHistory(p);
        for (int i = 0; i < 7; ++i)
            list.AddToHistory(i % 2 ? picture(QStringLiteral("%1.jpg").arg(i)) : "/p/gone.jpg");
        QCOMPARE(list.size(), 10);
        QCOMPARE(list.entries().mid(7), QStringList({a, dot, a}));
        list.RemoveMissingFromHistory();
        list.AddToHistory("/p/line\nbreak.jpg"); // could not be read back as one line
        const QStringList kept = list.entries().mid(1);
        QCOMPARE(kept.size(), 6);
        QVERIFY(list.writeFile(dir_.filePath("history.dat")));
        QCOMPARE(readLines(dir_.filePath("history.dat")), kept);
        HistoryList next;
        next.AddToHistory("/p/stale.jpg");
        next.FillList(dir_.filePath("history.dat"));
        QCOMPARE(next.entries(), kept);
    }

    // Nine lines are read at most; blank and vanished lines count among them. A FIFO in the
    // file's place is never opened: it would wait.
    void fillList_data() {
        QTest::addColumn<bool>("fifo");
        QTest::addColumn<int>("listed");
        QTest::newRow("blank and vanished lines") << false << 7;
        QTest::newRow("a FIFO in its place") << true << 0;
    }
    void fillList() {
        QFETCH(bool, fifo);
        QFETCH(int, listed);
        const QString path = dir_.filePath("fill/history.dat");
        QStringList saved;
        for (int i = 0; i < 9; ++i)
            saved << picture(QStringLiteral("fill/%1.jpg").arg(i));
        const QStringList lines =
            QStringList{saved[0], "", saved[1], "/p/vanished.jpg"} + saved.mid(2);
        QFile::remove(path);
        if (fifo)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            writeFile(path, (lines.join('\n') + '\n').toUtf8());
        HistoryList list;
        list.AddToHistory(saved[8]);
        list.FillList(path);
        QCOMPARE(list.entries(), saved.mid(0, listed));
    }

    // A write cut short by a size limit, or under a file, fails: the old file stays whole, alone.
    void failedWriteKeepsOldFile() {
        const QString file = dir_.filePath("w/history.dat");
        writeFile(file, "/p/old.jpg\r\n");
        HistoryList list;
        for (int i = 0; i < 10; ++i)
            list.AddToHistory(QStringLiteral("/p/a-rather-long-file-name-%1.jpg").arg(i));
        std::optional<FileSizeLimit> limit(std::in_place, 64);
        QVERIFY(!list.writeFile(file));
        limit.reset();
        QVERIFY(!list.writeFile(file + "/history.dat"));
        QCOMPARE(readBytes(file), QByteArray("/p/old.jpg\r\n"));
        QCOMPARE(entries(dir_.filePath("w")), QStringList{"history.dat"});
    }
};

QTEST_GUILESS_MAIN(TestHistoryList)
#include "tst_historylist.moc"
