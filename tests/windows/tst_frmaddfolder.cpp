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

    // typed name | made (the folder, relative to the Desktop) | message
    void names_data() {
        addRows({"Holiday|Holiday|", "what?*|what?*|", " spaced | spaced |", "Old/inner|Old/inner|",
                 "||error", "Old||error", "Missing/inner||error", "..||error", "../Escape||error",
                 "Old/../../Escape||error", "Trailing/||error", "/Leading||error", "<10000>||error",
                 "<256>||error", "<NUL>||error", "<full>New|New|limit"});
    }
    void names() {
        QFETCH(QStringList, row);
        QString name = row[0];
        const bool full = name.startsWith("<full>");
        QStringList folders{f.documents()};
        for (int i = 1; full && i < 10; ++i)
            folders << f.folder(QString("full %1").arg(i));
        f.load({"alwaysontop=True"}, folders);
        f.handOver();
        f.folder("home/Desktop/Old");
        name.replace("<full>", "")
            .replace("<10000>", QString(10000, 'n'))
            .replace("<256>", QString(256, 'n'))
            .replace("<NUL>", QString("a") + QChar(0) + "b");
        const QStringList before = entries(f.desktop());
        frmAddFolder* dialog = open();
        QVERIFY(dialog->isVisible() && dialog->Text1->text().isEmpty());
        QVERIFY(!f.main->menus().mnuAlwaysOnTop->isChecked());
        dialog->Text1->setText(name);
        dialog->cmdOK->click();
        const QString made = row[1].trimmed().isEmpty() ? QString() : f.desktop() + '/' + row[1];
        QStringList said;
        for (const auto& box : f.fake->messageBoxes)
            said << box.text;
        if (row[2] == "error") {
            QCOMPARE(said, QStringList{"There was an error while attempting to create this "
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
            QCOMPARE(said,
                     full ? QStringList{"Limit of 10 folders has been reached"} : QStringList{});
        }
        QTRY_VERIFY(!f.main->addFolderDialog());
        QVERIFY(f.main->menus().mnuAlwaysOnTop->isChecked() && f.fake->topmost[f.main.get()]);
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
