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

    // A typed name: the folder it makes (relative to the Desktop, empty for none), and what
    // is said: nothing, the creation error, or the limit of the full list.
    void names_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("made");
        QTest::addColumn<QString>("said");
        const auto row = [](const char* what, QString name, QString made, QString said) {
            QTest::newRow(what) << name << made << said;
        };
        row("plain", "Holiday", "Holiday", "");
        row("wildcards", "what?*", "what?*", "");
        row("blanks kept", " spaced ", " spaced ", "");
        row("a dot first", ".pics", ".pics", "");
        row("in a folder", "Old/inner", "Old/inner", "");
        row("empty", "", "", "error");
        row("exists", "Old", "", "error");
        row("in a missing folder", "Missing/inner", "", "error");
        row("parent", "..", "", "error");
        row("out of the Desktop", "../Escape", "", "error");
        row("out through a folder", "Old/../../Escape", "", "error");
        row("trailing slash", "Trailing/", "", "error");
        row("leading slash", "/Leading", "", "error");
        row("too long", QString(10000, 'n'), "", "error");
        row("too long a name", QString(256, 'n'), "", "error");
        row("NUL", QString("a") + QChar(0) + "b", "", "error");
        row("line feed", "line\nfeed", "", "error");
        row("list full", "<full>New", "New", "limit");
    }
    void names() {
        QFETCH(QString, name);
        QFETCH(QString, made);
        QFETCH(QString, said);
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
        dialog->cmdOK->click();
        if (!made.isEmpty())
            made = f.desktop() + '/' + made;
        QStringList shown;
        for (const auto& box : f.fake->messageBoxes)
            shown << box.text;
        if (said == "error") {
            QCOMPARE(shown, QStringList{"There was an error while attempting to create this "
                                        "folder. Please use only legal characters."});
            QCOMPARE(f.fake->messageBoxes[0].icon, Platform::Icon::Critical);
            QCOMPARE(entries(f.desktop()), before);
            QVERIFY(dialog->isVisible() && dialog->Text1->text() == name);
            dialog->close();
        } else {
            QVERIFY(QFileInfo(made).isDir());
            QCOMPARE(f.main->FolderList().FolderIsInList(made), !full);
            if (!full) // shown as a label at once
                QCOMPARE(f.main->controls().Text[1]->text(), made);
            QCOMPARE(shown,
                     full ? QStringList{"Limit of 10 folders has been reached"} : QStringList{});
        }
        QTRY_VERIFY(!f.main->addFolderDialog());
        QVERIFY(f.main->menus().mnuAlwaysOnTop->isChecked() && f.fake->topmost[f.main.get()]);
        // The periodic check keeps a folder that is there, whatever its name.
        f.fake->messageBoxes.clear();
        f.main->Timer1.start(1);
        QTest::qWait(30);
        QCOMPARE(f.fake->messageBoxes.size(), 0);
        if (!made.isEmpty())
            QCOMPARE(f.main->FolderList().FolderIsInList(made), !full);
    }

    // A label's folder deleted meanwhile: a double-click on the label says so and takes it off
    // the list, rather than handing the file manager a path it refuses without a word. A
    // folder whose name holds a line break is not taken into the list (nor the file).
    void goneAndUnstorableFolders() {
        const QString gone = f.folder("home/Desktop/Gone");
        const QString broken = f.folder("line\nbreak");
        f.load({"alwaysontop=True"}, {f.documents(), gone});
        f.handOver();
        QVERIFY(QDir(gone).removeRecursively());
        QLineEdit* label = f.main->controls().Text[1];
        QTest::mouseDClick(label, Qt::LeftButton, {}, label->rect().center());
        QCOMPARE(f.fake->messageBoxes.size(), 1);
        QCOMPARE(f.fake->messageBoxes[0].text, "The folder " + gone +
                                                   " no longer exists on your computer and has "
                                                   "been removed from the Folders List.");
        QVERIFY(f.fake->calls.filter("openPath").isEmpty());
        QVERIFY(!f.main->FolderList().FolderIsInList(gone));
        f.fake->folderDialogAnswers = {broken};
        f.main->menus().mnuAddFolder->trigger();
        QCOMPARE(f.fake->messageBoxes.size(), 1);
        QVERIFY(!f.main->FolderList().FolderIsInList(broken));
    }

    // Cancel and the close box make nothing; the field is empty again on the next opening;
    // a missing Desktop folder is made for the new one.
    void cancelAndMissingDesktop() {
        f.load({}, {f.documents()});
        f.handOver();
        QDir(f.desktop()).removeRecursively();
        frmAddFolder* dialog = open();
        dialog->Text1->setText("Kept");
        dialog->cmdCancel->click();
        QTRY_VERIFY(!f.main->addFolderDialog());
        QVERIFY(!QFileInfo::exists(f.desktop()));
        dialog = open();
        QVERIFY(dialog->Text1->text().isEmpty());
        dialog->Text1->setText("Kept");
        QTest::keyClick(dialog->Text1, Qt::Key_Return); // OK is the default button
        QVERIFY(QFileInfo(f.desktop() + "/Kept").isDir());
        QCOMPARE(f.fake->messageBoxes.size(), 0);
    }
};

QTEST_MAIN(TestFrmAddFolder)
#include "tst_frmaddfolder.moc"
