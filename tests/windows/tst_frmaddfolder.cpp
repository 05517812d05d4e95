// "Add Folder to Desktop": names that make a folder and a label, names refused with the
// creation message, the full list, Cancel, an empty field on every opening.
#include "ClientFixture.h"
#include "folders/frmAddFolder.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

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

    // A typed name and the folder it makes under the Desktop (none: refused with the creation
    // message); with the list full the folder is made but not listed.
    void names_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("made");
        QTest::newRow("blanks kept") << " spaced " << true;
        QTest::newRow("a dot first") << ".pics" << true;
        QTest::newRow("in a folder") << "Old/inner" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("exists") << "Old" << false;
        QTest::newRow("in a missing folder") << "Missing/inner" << false;
        QTest::newRow("out of the Desktop") << "Old/../../Escape" << false;
        QTest::newRow("trailing slash") << "Trailing/" << false;
        QTest::newRow("line feed") << "line\nfeed" << false;
        QTest::newRow("list full") << "<full>New" << true;
    }
    void names() {
        QFETCH(QString, name);
        QFETCH(bool, made);
        const bool full = name.startsWith("<full>");
        QStringList folders{f.documents()};
        for (int i = 1; full && i < 10; ++i)
            folders << f.folder(QString("full %1").arg(i));
        f.load({"alwaysontop=True"}, folders);
        f.handOver();
        f.folder("home/Desktop/Old");
        name.remove("<full>");
        const QStringList before = entries(f.desktop());
        frmAddFolder* dialog = open();
        QVERIFY(dialog->isVisible() && dialog->Text1->text().isEmpty());
        QVERIFY(!f.main->menus().mnuAlwaysOnTop->isChecked());
        dialog->Text1->setText(name);
        QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
        const QString path = f.desktop() + '/' + name;
        QStringList shown;
        for (const auto& box : f.fake->messageBoxes)
            shown << box.text + (box.icon == Platform::Icon::Critical ? " (critical)" : "");
        if (!made) {
            QCOMPARE(shown, QStringList{"There was an error while attempting to create this "
                                        "folder. Please use only legal characters. (critical)"});
            QCOMPARE(entries(f.desktop()), before);
            QVERIFY(dialog->isVisible() && dialog->Text1->text() == name);
            dialog->close();
        } else {
            QVERIFY(QFileInfo(path).isDir());
            QCOMPARE(shown,
                     full ? QStringList{"Limit of 10 folders has been reached"} : QStringList{});
            if (!full) // shown as a label at once
                QCOMPARE(f.main->controls().Text[1]->text(), path);
        }
        QTRY_VERIFY(!f.main->addFolderDialog());
        QVERIFY(f.main->menus().mnuAlwaysOnTop->isChecked() && f.fake->topmost[f.main.get()]);
        f.main->Timer1.start(1); // the periodic check keeps a folder that is there
        QTest::qWait(30);
        QCOMPARE(f.main->FolderList().FolderIsInList(path), made && !full);
    }

    // A label's folder deleted meanwhile: a double-click on it says so and takes it off the
    // list. A folder whose name holds a line break is not taken into the list.
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
        QVERIFY(f.fake->calls.filter("openPath").isEmpty());
        QVERIFY(!f.main->FolderList().FolderIsInList(gone));
        f.fake->folderDialogAnswers = {broken};
        f.main->menus().mnuAddFolder->trigger();
        QCOMPARE(f.fake->messageBoxes.size(), 1);
        QVERIFY(!f.main->FolderList().FolderIsInList(broken));
    }

    // Cancel makes nothing; the field is empty again on the next opening; Return is OK; a
    // missing Desktop folder is made for the new one.
    void cancelAndMissingDesktop() {
        f.load({}, {f.documents()});
        f.handOver();
        QDir(f.desktop()).removeRecursively();
        frmAddFolder* dialog = open();
        QTest::keyClicks(dialog->Text1, "Kept");
        QTest::mouseClick(dialog->cmdCancel, Qt::LeftButton);
        QTRY_VERIFY(!f.main->addFolderDialog());
        QVERIFY(!QFileInfo::exists(f.desktop()));
        dialog = open();
        QVERIFY(dialog->Text1->text().isEmpty());
        QTest::keyClicks(dialog->Text1, "Kept");
        QTest::keyClick(dialog->Text1, Qt::Key_Return);
        QVERIFY(QFileInfo(f.desktop() + "/Kept").isDir() && f.fake->messageBoxes.isEmpty());
    }
};

QTEST_MAIN(TestFrmAddFolder)
#include "tst_frmaddfolder.moc"
