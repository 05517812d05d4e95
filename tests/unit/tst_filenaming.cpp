#include "TestFiles.h"
#include "platform/fake/FakePlatform.h"
#include "saving/FileNaming.h"

#include <sys/stat.h>

using namespace kelvane;
using namespace kelvane::test;

class TestFileNaming : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString path(const QString& name) const { return dir_.filePath(name); }
    void clearFolder() {
        QVERIFY(QDir(dir_.path()).removeRecursively() && QDir().mkpath(dir_.path()));
    }

private Q_SLOTS:
    // A browser cache's "[n]" goes before .jpg and .gif (n up to 100), extensions are unified.
    void correctFileName_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("decodeSpaces");
        QTest::addColumn<QString>("name");
        QTest::newRow(".jpeg, then [2]") << "/c/photo[2].jpeg" << true << "photo.jpg";
        QTest::newRow(".jpe") << "/c/photo.jpe" << true << "photo.jpg";
        QTest::newRow(".tiff") << "/c/scan.tiff" << true << "scan.tif";
        QTest::newRow("[100] goes") << "/c/cat[100].gif" << true << "cat.gif";
        QTest::newRow("[101] stays") << "/c/p[101].jpg" << true << "p[101].jpg";
        QTest::newRow("%20 kept") << "/c/my%20cat[1].jpg" << false << "my%20cat.jpg";
        QTest::newRow("only %20 decoded") << "/c/a%2Bb%20c.jpg" << true << "a%2Bb c.jpg";
        QTest::newRow("in the root") << "/cat[1].jpg" << true << "/cat.jpg";
    }
    void correctFileName() {
        QFETCH(QString, source);
        QFETCH(bool, decodeSpaces);
        QFETCH(QString, name);
        QCOMPARE(CorrectFileName(source, decodeSpaces), name);
    }

    // The number goes before the last four characters: one past the highest taken.
    void incrementFileName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("numbered"); // "" when none can be made (a message then)
        QStringList thousand;
        for (int i = 1; i <= 1000; ++i)
            thousand << QStringLiteral("cat (%1).jpg").arg(i);
        QTest::newRow("first") << "cat.jpg" << QStringList() << "cat (1).jpg";
        QTest::newRow("past a gap")
            << "cat.jpg" << QStringList{"cat (1).jpg", "cat (3).jpg"} << "cat (4).jpg";
        QTest::newRow("four-letter extension") << "page.html" << QStringList() << "page. (1)html";
        QTest::newRow("name under four characters") << "a.b" << QStringList() << "";
        QTest::newRow("would split a character") << "a😀bcd" << QStringList() << "";
        QTest::newRow("a thousand taken") << "cat.jpg" << thousand << "";
    }
    void incrementFileName() {
        QFETCH(QString, name);
        QFETCH(QStringList, taken);
        QFETCH(QString, numbered);
        clearFolder();
        for (const QString& file : taken)
            writeFile(path(file), "x");
        FakePlatform platform;
        QCOMPARE(IncrementFileName(path(name), platform), numbered.isEmpty() ? "" : path(numbered));
        QCOMPARE(platform.messageBoxes.size(), numbered.isEmpty() ? 1 : 0);
    }

    // A regular file, reached by any name; a NUL would cut the name short.
    void fileExists_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::newRow("file") << "file.jpg" << true;
        QTest::newRow("link to a file") << "link.jpg" << true;
        QTest::newRow("FIFO") << "fifo" << false;
        QTest::newRow("dangling link") << "dangling.jpg" << false;
        QTest::newRow("NUL after a file's name") << QString("file.jpg") + QChar(0) + "x" << false;
    }
    void fileExists() {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        clearFolder();
        writeFile(path("file.jpg"), "x");
        QCOMPARE(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
        QVERIFY(QFile::link(path("file.jpg"), path("link.jpg")));
        QVERIFY(QFile::link(path("gone.jpg"), path("dangling.jpg")));
        QCOMPARE(FileExists(path(name)), exists);
    }
};

QTEST_GUILESS_MAIN(TestFileNaming)
#include "tst_filenaming.moc"
