// "Add Folder to Desktop", and labels whose folders go.
#include "ClientFixture.h"
#include "folders/frmAddFolder.h"

#include <QtWidgets>

using namespace kelvane;
using namespace kelvane::test;

class TestFrmAddFolder : public QObject {
    Q_OBJECT

    ClientFixture f;

    frmAddFolder* open() {
        f.main->menus().mnuAddFolderToDesktop->trigger();
        return f.main->addFolderDialog();
    }

private Q_SLOTS:
    void init() { f.reset(); }
    void cleanup() { f.reset(); }

    // A name typed, OK clicked: a folder under the Desktop and its label, or the creation
    // message with nothing made; the band left while the dialog is open.
    void names_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("made");
        QTest::newRow("blanks kept") << " spaced " << true;
        QTest::newRow("in a folder") << "Old/inner" << true;
        QTest::newRow("exists") << "Old" << false;
        QTest::newRow("in a missing folder") << "Missing/inner" << false;
        QTest::newRow("out of the Desktop") << "Old/../../Escape" << false;
        QTest::newRow("trailing slash") << "Trailing/" << false;
        QTest::newRow("line feed") << "line\nfeed" << false;
    }
    void names() {
        QFETCH(QString, name);
        QFETCH(bool, made);
        f.load({"alwaysontop=True"}, {f.documents()});
        f.handOver();
        f.folder("home/Desktop/Old");
        const QStringList before = entries(f.desktop());
        frmAddFolder* dialog = open();
        QVERIFY(dialog->isVisible() && !f.main->menus().mnuAlwaysOnTop->isChecked());
        dialog->Text1->setText(name);
        QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
        const QString path = f.desktop() + '/' + name;
        QVERIFY(made ? QFileInfo(path).isDir() : entries(f.desktop()) == before);
        QCOMPARE(f.main->FolderList().FolderIsInList(path), made);
        QCOMPARE(f.main->controls().Text[1]->text(), made ? path : QString());
        if (!made) {
            QCOMPARE(f.fake->messageBoxes.value(0).text,
                     "There was an error while attempting to create this folder. Please use only "
                     "legal characters.");
            QCOMPARE(f.fake->messageBoxes.value(0).icon, Platform::Icon::Critical);
            QVERIFY(dialog->isVisible() && dialog->Text1->text() == name);
            dialog->close();
        }
        QTRY_VERIFY(!f.main->addFolderDialog());
        QVERIFY(f.main->menus().mnuAlwaysOnTop->isChecked() && f.fake->topmost[f.main.get()]);
    }

    // Cancel makes nothing; the field is empty on the next opening, Return is OK; a missing
    // Desktop folder is made for the new one.
    void cancelAndMissingDesktop() {
        f.load({}, {f.documents()});
        f.handOver();
        QDir(f.desktop()).removeRecursively();
        QTest::keyClicks(open()->Text1, "Kept");
        QTest::mouseClick(f.main->addFolderDialog()->cmdCancel, Qt::LeftButton);
        QTRY_VERIFY(!f.main->addFolderDialog());
        QVERIFY(!QFileInfo::exists(f.desktop()) && open()->Text1->text().isEmpty());
        QTest::keyClicks(open()->Text1, "Kept");
        QTest::keyClick(open()->Text1, Qt::Key_Return);
        QVERIFY(QFileInfo(f.desktop() + "/Kept").isDir() && f.fake->messageBoxes.isEmpty());
    }

    // A label's folder deleted meanwhile: a double-click says so and takes it off the list.
    // A folder whose name holds a line break is not taken in.
    void goneAndUnstorableFolders() {
        const QString gone = f.folder("home/Desktop/Gone"), broken = f.folder("line\nbreak");
        f.load({"alwaysontop=True"}, {f.documents(), gone});
        f.handOver();
        QVERIFY(QDir(gone).removeRecursively());
        QTest::mouseDClick(f.main->controls().Text[1], Qt::LeftButton);
        QCOMPARE(
            f.fake->messageBoxes.value(0).text,
            "The folder " + gone +
                " no longer exists on your computer and has been removed from the Folders List.");
        QVERIFY(f.fake->calls.filter("openPath").isEmpty() &&
                !f.main->FolderList().FolderIsInList(gone));
        f.fake->folderDialogAnswers = {broken};
        f.main->menus().mnuAddFolder->trigger();
        QVERIFY(f.fake->messageBoxes.size() == 1 && !f.main->FolderList().FolderIsInList(broken));
    }
};

QTEST_MAIN(TestFrmAddFolder)
#include "tst_frmaddfolder.moc"
