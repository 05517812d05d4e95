#include "TestFiles.h"
#include "core/AppState.h"
#include "core/PendingDrop.h"
#include "folders/FolderSlots.h"
#include "platform/drops/FileList.h"
#include "saving/DropReception.h"

#include <QMimeData>

using namespace kelvane;
using namespace kelvane::test;

class TestDropReception : public QObject {
    Q_OBJECT

private Q_SLOTS:
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

QTEST_GUILESS_MAIN(TestDropReception)
#include "tst_dropreception.moc"
