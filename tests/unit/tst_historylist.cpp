#include "TestFiles.h"
#include "history/HistoryList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kelvane;
using namespace kelvane::test;

class TestHistoryList : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    QString path(const QString& name) const { return dir_.filePath(name); }
    // Creates a saved picture and returns its path.
    QString picture(const QString& name) {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(file.fileName()));
        return file.fileName();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void addKeepsTheNewestTen() {
        HistoryList list;
        for (int i = 1; i <= 11; ++i)
            list.AddToHistory(QStringLiteral("/p/%1.jpg").arg(i));
        QCOMPARE(list.size(), 10);
        QCOMPARE(list.entries().first(), QStringLiteral("/p/11.jpg"));
        QCOMPARE(list.entries().last(), QStringLiteral("/p/2.jpg"));
        QVERIFY(!list.entries().contains(QStringLiteral("/p/1.jpg")));
    }

    void duplicatesAreKept() {
        HistoryList list;
        list.AddToHistory("/p/a.jpg");
        list.AddToHistory("/p/a.jpg");
        QCOMPARE(list.entries(), QStringList({"/p/a.jpg", "/p/a.jpg"}));
    }

    void removeMissingKeepsOrder() {
        HistoryList list;
        const QString a = picture("keep-a.jpg");
        const QString b = picture("keep-b.jpg");
        list.AddToHistory(a);
        list.AddToHistory(path("gone-1.jpg"));
        list.AddToHistory(b);
        list.AddToHistory(path("gone-2.jpg"));
        list.AddToHistory(a);
        list.RemoveMissingFromHistory();
        QCOMPARE(list.entries(), QStringList({a, b, a}));
    }

    // Written CR LF, newest first; a restart brings back the first nine.
    void writtenFileReadsBackNine() {
        HistoryList list;
        QStringList added;
        for (int i = 1; i <= 11; ++i) {
            added.prepend(picture(QStringLiteral("saved %1 é.jpg").arg(i)));
            list.AddToHistory(added.first());
        }
        const QString file = path("history.dat");
        QVERIFY(list.writeFile(file));
        const QByteArray bytes = readBytes(file);
        QCOMPARE(bytes.count("\r\n"), 10);
        QVERIFY(bytes.startsWith(added.first().toUtf8() + "\r\n"));

        HistoryList restarted;
        restarted.AddToHistory("/stale/entry.jpg");
        restarted.FillList(file);
        QCOMPARE(restarted.entries(), added.mid(0, 9));
    }

    void fillListCountsSkippedLines_data() {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("LF") << QByteArray("\n");
    }
    void fillListCountsSkippedLines() {
        QFETCH(QByteArray, lineEnd);
        QStringList present;
        for (int i = 0; i < 10; ++i)
            present << picture(QStringLiteral("present-%1.jpg").arg(i));
        // Lines 1 to 9: a blank line and a vanished file among seven existing ones; line 10
        // would be the eighth and is beyond the lines read.
        const QList<QString> lines = {present[0], "",         present[1], path("vanished.jpg"),
                                      present[2], present[3], present[4], present[5],
                                      present[6], present[7]};
        QByteArray bytes;
        for (const QString& line : lines)
            bytes += line.toUtf8() + lineEnd;
        const QString file = path("history.dat");
        writeFile(file, bytes);
        HistoryList list;
        list.FillList(file);
        QCOMPARE(list.entries(), present.mid(0, 7));
    }

    void fillListOddFiles_data() {
        QTest::addColumn<QByteArray>("bytes"); // %A and %B stand for two saved pictures
        QTest::addColumn<int>("entries");      // how many of A, B are listed
        QTest::newRow("no final line end") << QByteArray("%A\r\n%B") << 2;
        QTest::newRow("overlong line") << QByteArray(200 * 1024, 'x') + "\r\n%A\r\n" << 1;
        QTest::newRow("missing file") << QByteArray() << 0;
    }
    void fillListOddFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, entries);
        const QStringList saved{picture("odd-a.jpg"), picture("odd-b.jpg")};
        const QString file = path("odd-history.dat");
        QFile::remove(file);
        if (!bytes.isEmpty())
            writeFile(file,
                      bytes.replace("%A", saved[0].toUtf8()).replace("%B", saved[1].toUtf8()));
        HistoryList list;
        list.AddToHistory("/p/stale.jpg");
        list.FillList(file);
        QCOMPARE(list.entries(), saved.mid(0, entries));
    }

    void entryWithLineBreakIsNotWritten_data() {
        QTest::addColumn<QString>("broken");
        QTest::newRow("LF") << "/p/a\nb.jpg";
        QTest::newRow("CR") << "/p/a\rb.jpg";
    }
    void entryWithLineBreakIsNotWritten() {
        QFETCH(QString, broken);
        HistoryList list;
        list.AddToHistory("/p/before.jpg");
        list.AddToHistory(broken);
        list.AddToHistory("/p/after.jpg");
        const QString file = path("history.dat");
        QVERIFY(list.writeFile(file));
        QCOMPARE(readBytes(file), QByteArray("/p/after.jpg\r\n/p/before.jpg\r\n"));
        QCOMPARE(list.size(), 3);
    }

    void writeIntoRegularFileFails() {
        const QString notAFolder = picture("not-a-folder");
        HistoryList list;
        list.AddToHistory("/p/a.jpg");
        QVERIFY(!list.writeFile(notAFolder + "/history.dat"));
        QCOMPARE(QFileInfo(notAFolder).size(), 0);
        QVERIFY(QFileInfo(notAFolder).isFile());
    }

    // A write cut short (here by a file-size limit) reports failure and keeps the old file.
    void truncatedWriteKeepsOldFile() {
        const QString file = path("history.dat");
        const QByteArray old = "/p/old.jpg\r\n";
        writeFile(file, old);
        HistoryList list;
        for (int i = 0; i < 10; ++i)
            list.AddToHistory(QStringLiteral("/p/a-rather-long-file-name-%1.jpg").arg(i));

        bool written = true;
        {
            const FileSizeLimit limit(64);
            written = list.writeFile(file);
        }

        QVERIFY(!written);
        QCOMPARE(readBytes(file), old);
        const QStringList leftovers =
            QDir(dir_.path()).entryList({"history.dat*"}, QDir::Files | QDir::Hidden);
        QCOMPARE(leftovers, QStringList{"history.dat"});
    }
};

QTEST_GUILESS_MAIN(TestHistoryList)
#include "tst_historylist.moc"
