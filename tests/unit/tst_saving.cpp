#include "TestFiles.h"
#include "core/AppState.h"
#include "core/PendingDrop.h"
#include "folders/FolderSlots.h"
#include "platform/drops/FileList.h"
#include "platform/fake/FakePlatform.h"
#include "saving/DropReception.h"
#include "saving/FileNaming.h"
#include "saving/Preview.h"

#include <QDataStream>
#include <QMimeData>
#include <sys/stat.h>

using namespace kelvane;
using namespace kelvane::test;

class TestSaving : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString path(const QString& name) const { return dir_.filePath(name); }
    void clearFolder() {
        QVERIFY(QDir(dir_.path()).removeRecursively() && QDir().mkpath(dir_.path()));
    }
    // The headers of an uncompressed 24-bit BMP of width x height.
    static QByteArray bmpHeader(int width, int height) {
        const quint32 pixels = quint32((width * 3 + 3) & ~3) * quint32(height);
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out.writeRawData("BM", 2);
        out << quint32(54 + pixels) << quint32(0) << quint32(54) << quint32(40) << qint32(width)
            << qint32(height) << quint16(1) << quint16(24) << quint32(0) << quint32(pixels)
            << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
        return bytes;
    }

private Q_SLOTS:
    // source | "%20" decoded (y/n) | corrected name
    void correctFileName_data() {
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

    // A picture of 8200 x 8200 needs more than the 256 MiB a decoder may take by default.
    void hugePictureIsShownSmall() {
        const int side = 8200;
        writeFile(path("huge.bmp"), bmpHeader(side, side));
        QVERIFY(QFile::resize(path("huge.bmp"), 54 + qint64(side * 3) * side)); // pixels: a hole
        const QImage image = decodePreview(path("huge.bmp"), QSize(72, 90));
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(144, 144)); // twice the box at most, the picture square
    }

    void badFilesGiveNoPicture_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("<html>404 Not Found</html>");
        QTest::newRow("JPEG cut short") << QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11);
        QTest::newRow("BMP of 30000 x 30000, header only") << bmpHeader(30000, 30000);
        QTest::newRow("BMP of negative width") << bmpHeader(-5, 5) + QByteArray(64, '\0');
    }
    void badFilesGiveNoPicture() {
        QFETCH(QByteArray, bytes);
        writeFile(path("bad.jpg"), bytes);
        QVERIFY(decodePreview(path("bad.jpg"), QSize(72, 72)).isNull());
        QVERIFY(decodePreview(path("missing.jpg"), QSize(72, 72)).isNull());
    }

    // The drag's text/uri-list ("text:" a text drag) | the file; never one a NUL cuts short.
    void firstLocalFile_data() {
        addRows({"file:///t/a.jpg\r\nfile:///t/b.jpg|/t/a.jpg",
                 "# a comment\r\n\r\nfile:///t/my%20cat.jpg|/t/my cat.jpg",
                 "https://example.com/a.jpg|", "text:/t/a.jpg|", "|", "file:///t/photo%00.jpg|",
                 "file:///t/photo<NUL>.jpg\r\n|", "file:///t/photo%2500.jpg|/t/photo%00.jpg"});
    }
    void firstLocalFile() {
        QFETCH(QStringList, row);
        QMimeData data;
        if (row[0].startsWith("text:"))
            data.setText(row[0].mid(5));
        else
            data.setData("text/uri-list", row[0].toUtf8().replace("<NUL>", QByteArray(1, '\0')));
        QCOMPARE(drops::firstLocalFile(&data), row[1]);
    }

    // Over the picture (-1) or a label: the folder and file recorded; no file keeps the earlier.
    void dragOver_data() { addRows({"-1|", "-1|/c/a.jpg", "2|", "2|/c/a.jpg", "5|/c/a.jpg"}); }
    void dragOver() {
        QFETCH(QStringList, row);
        const int target = row[0].toInt();
        const QString file = row[1];
        AppState state;
        state.sDesktopFolder = "/home/u/Desktop";
        FolderSlots folders;
        folders.setSlot(2, "/data/two");
        PendingDrop pending{7, "/before", "/c/earlier.jpg"};
        DropReception reception(pending, state, folders);
        const bool arm = target == -1 ? reception.Image1_OLEDragOver(file)
                                      : reception.Text_OLEDragOver(target, file);
        QCOMPARE(arm, !file.isEmpty());
        QCOMPARE(pending.sInitSaveAsDir,
                 target == -1 ? state.sDesktopFolder : folders.slot(target));
        QCOMPARE(pending.sTempSaveAsFilename, file.isEmpty() ? "/c/earlier.jpg" : file);
        // Over a label the target is left to the hover poll.
        QCOMPARE(pending.iCurrentLabel, std::int16_t(target == -1 ? -1 : 7));
    }
};

QTEST_GUILESS_MAIN(TestSaving)
#include "tst_saving.moc"
