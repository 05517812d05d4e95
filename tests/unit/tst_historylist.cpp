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

    // Pictures listed from a file; blank, vanished and unreadable lines count among the ten.
    void fillList_data() {
        QTest::addColumn<QByteArray>("file"); // %N picture N, <long> a 200 KB line
        QTest::addColumn<int>("listed");
        QTest::newRow("LF ends, blank and vanished lines")
            << QByteArray("%0\n\n%1\n/p/vanished.jpg\n%2\n%3\n%4\n%5\n%6\n%7\n%8\n") << 7;
        QTest::newRow("no end on the last line") << QByteArray("%0\r\n%1") << 2;
        QTest::newRow("overlong line") << QByteArray("<long>\r\n%0\r\n") << 1;
        QTest::newRow("NUL in a line") << QByteArray("%0\r\n%1<NUL>x\r\n") << 1;
        QTest::newRow("no file") << QByteArray("<none>") << 0;
        QTest::newRow("a folder in its place") << QByteArray("<folder>") << 0;
        QTest::newRow("a FIFO in its place (never opened: it would wait)")
            << QByteArray("<fifo>") << 0;
        QTest::newRow("binary, a folder, 10000 line ends")
            << QByteArray("%0\r\n<binary>\r\n<dir>\r\n%1<10000 lines>") << 2;
    }
    void fillList() {
        QFETCH(QByteArray, file);
        QFETCH(int, listed);
        const QString path = dir_.filePath("fill/history.dat");
        QDir(dir_.filePath("fill")).removeRecursively();
        QByteArray bytes = file;
        QStringList saved;
        for (int i = 0; i < 10; ++i) {
            saved << picture(QStringLiteral("fill/%1.jpg").arg(i));
            bytes.replace("%" + QByteArray::number(i), saved[i].toUtf8());
        }
        QByteArray binary;
        for (int b = 1; b < 256; ++b)
            binary += b == '\n' || b == '\r' ? char(0) : char(b);
        bytes.replace("<NUL>", QByteArray(1, '\0')).replace("<long>", QByteArray(200 << 10, 'x'));
        bytes.replace("<binary>", binary).replace("<dir>", dir_.path().toUtf8());
        bytes.replace("<10000 lines>", QByteArray("\r\n").repeated(10000));
        if (bytes == "<folder>")
            QVERIFY(QDir().mkpath(path));
        else if (bytes == "<fifo>")
            QVERIFY(QDir().mkpath(dir_.filePath("fill")) &&
                    ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else if (bytes != "<none>")
            writeFile(path, bytes);
        HistoryList list;
        list.AddToHistory(saved[9]);
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
