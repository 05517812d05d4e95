#include "core/AppState.h"
#include "core/PendingDrop.h"
#include "folders/FolderSlots.h"
#include "platform/drops/FileList.h"
#include "saving/DropReception.h"

#include <QMimeData>
#include <QtTest>

using namespace kelvane;

class TestDropReception : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The file a drag's text/uri-list names first; never one a NUL would cut short.
    void firstLocalFile_data() {
        QTest::addColumn<QByteArray>("uriList"); // "text:" a plain text drag
        QTest::addColumn<QString>("file");
        QTest::newRow("first of two")
            << QByteArray("file:///t/a.jpg\r\nfile:///t/b.jpg") << "/t/a.jpg";
        QTest::newRow("after a comment, decoded")
            << QByteArray("# a comment\r\n\r\nfile:///t/my%20cat.jpg") << "/t/my cat.jpg";
        QTest::newRow("web address") << QByteArray("https://example.com/a.jpg") << "";
        QTest::newRow("text drag") << QByteArray("text:/t/a.jpg") << "";
        QTest::newRow("escaped NUL") << QByteArray("file:///t/photo%00.jpg") << "";
        QTest::newRow("raw NUL") << QByteArray("file:///t/photo") + '\0' + ".jpg\r\n"
                                 << "";
        QTest::newRow("escaped percent, decoded once")
            << QByteArray("file:///t/photo%2500.jpg") << "/t/photo%00.jpg";
    }
    void firstLocalFile() {
        QFETCH(QByteArray, uriList);
        QFETCH(QString, file);
        QMimeData data;
        if (uriList.startsWith("text:"))
            data.setText(uriList.mid(5));
        else
            data.setData("text/uri-list", uriList);
        QCOMPARE(drops::firstLocalFile(&data), file);
    }

    // Over the picture or a label: its folder and the file recorded; no file keeps the earlier.
    void dragOver_data() {
        QTest::addColumn<int>("target"); // -1 the picture, else a label
        QTest::addColumn<QString>("file");
        QTest::newRow("picture") << -1 << "/c/a.jpg";
        QTest::newRow("label, no file") << 2 << "";
        QTest::newRow("label without a folder") << 5 << "/c/a.jpg";
    }
    void dragOver() {
        QFETCH(int, target);
        QFETCH(QString, file);
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

QTEST_GUILESS_MAIN(TestDropReception)
#include "tst_dropreception.moc"
