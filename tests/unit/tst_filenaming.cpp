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
    void correctFileName_data() { // source | "%20" decoded (y/n) | corrected name
        addRows({"/c/cat[1].jpg|y|cat.jpg", "/c/photo[2].jpeg|y|photo.jpg",
                 "/c/photo.jpe|y|photo.jpg", "/c/cat[100].gif|y|cat.gif", "/c/scan.tiff|y|scan.tif",
                 "/c/p[101].jpg|y|p[101].jpg", "/c/p[1].bmp|y|p[1].bmp",
                 "/c/CAT[1].JPG|y|CAT[1].JPG", "/c/my%20cat[1].jpg|n|my%20cat.jpg",
                 "/c/a%2Bb%20c.jpg|y|a%2Bb c.jpg", "/c/a[1].gif[2].gif|y|a.gif.gif",
                 "/ca[1].jpg/x.png|y|x.png", "/cat[1].jpg|y|/cat.jpg"});
    }
    void correctFileName() {
        QFETCH(QStringList, row);
        QCOMPARE(CorrectFileName(row[0], row[1] == "y"), row[2]);
    }

    // name | files present ("/" ends a folder) | numbered name, empty when none can be made
    void incrementFileName_data() {
        addRows({"cat.jpg||cat (1).jpg", "cat.jpg|cat (1).jpg|cat (2).jpg",
                 "cat.jpg|cat (1).jpg,cat (3).jpg|cat (4).jpg", "page.html||page. (1)html",
                 "cat.jpg|cat (5).jpg/|cat (1).jpg", "Käse €.jpg|Käse € (2).jpg|Käse € (3).jpg",
                 ".cat.jpg|.cat (1).jpg|.cat (2).jpg", "a.b||", "a😀bcd||", "cat.jpg|1000 taken|"});
    }
    void incrementFileName() {
        QFETCH(QStringList, row);
        clearFolder();
        QStringList files = row[1].split(',', Qt::SkipEmptyParts);
        for (int i = 1; i <= 1000 && row[1] == "1000 taken"; ++i)
            files << QStringLiteral("cat (%1).jpg").arg(i);
        for (const QString& file : files) {
            if (file.endsWith('/'))
                QVERIFY(QDir().mkpath(path(file)));
            else
                writeFile(path(file), "x");
        }
        FakePlatform platform;
        QCOMPARE(IncrementFileName(path(row[0]), platform), row[2].isEmpty() ? "" : path(row[2]));
        QCOMPARE(platform.messageBoxes.size(), row[2].isEmpty() ? 1 : 0); // "could not be saved"
    }

    // name | a file by FileExists (dot-named files too; a NUL would cut the name short)
    void fileExists_data() {
        addRows({"file.jpg|1", ".dot.jpg|1", "link.jpg|1", ".folder/file.jpg|1", "folder|0",
                 "missing.jpg|0", "fifo|0", "dangling.jpg|0", "|0", "file.jpg<NUL>x|0"});
    }
    void fileExists() {
        QFETCH(QStringList, row);
        clearFolder();
        for (const char* file : {"file.jpg", ".dot.jpg", ".folder/file.jpg"})
            writeFile(path(file), "x");
        QVERIFY(QDir().mkpath(path("folder")));
        QCOMPARE(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
        QVERIFY(QFile::link(path("file.jpg"), path("link.jpg")));
        QVERIFY(QFile::link(path("gone.jpg"), path("dangling.jpg")));
        const QString name = row[0].replace("<NUL>", QChar(0));
        QCOMPARE(FileExists(name.isEmpty() ? QString() : path(name)), row[1] == "1");
    }
};

QTEST_GUILESS_MAIN(TestFileNaming)
#include "tst_filenaming.moc"
