// The client's other windows: the history, "More Options", "Add Folder to Desktop", "About".
#include "ClientFixture.h"
#include "folders/frmAddFolder.h"
#include "history/frmHistory.h"
#include "settings/frmOptions.h"
#include "ui/frmAbout.h"

#include <QtWidgets>

using namespace kelvane;
using namespace kelvane::test;

// "Delete From Disk" on the first of "a b a": the answer to the question when asked, whether a
// Trash can take the file, what happens meanwhile (a "gone" already, or a picture c "saved"),
// what is listed afterwards and where a is: here, Trash, nowhere.
struct DeleteRow {
    QString answer;
    bool trash;
    QString happens, after, where;
};
Q_DECLARE_METATYPE(DeleteRow)

class TestDialogs : public QObject {
    Q_OBJECT

    ClientFixture f;

    QStringList listed() const {
        QStringList items;
        for (int i = 0; i < f.main->history()->List1->model()->rowCount(); ++i)
            items << f.main->history()->List1->model()->index(i, 0).data().toString();
        return items;
    }
    void click(int row, QTest::MouseAction action = QTest::MouseClick,
               Qt::MouseButton button = Qt::LeftButton) const {
        const QListView* list = f.main->history()->List1;
        QTest::mouseEvent(action, list->viewport(), button, {},
                          list->visualRect(list->model()->index(row, 0)).center());
    }
    void openHistory(const QStringList& files, const QString& prompt = "False") {
        writeFile(f.historyFile(), (files.join("\r\n") + "\r\n").toUtf8());
        f.start({"showhistory=True", "alwayspromptfiledelete=" + prompt}, {f.documents()});
        QTRY_VERIFY(f.main->history()->isVisible());
    }
    static void click(QCheckBox* box) { // the mouse on the box's square
        QStyleOptionButton square;
        square.initFrom(box);
        QTest::mouseClick(
            box, Qt::LeftButton, {},
            box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &square, box).center());
    }
    frmOptions* options() { // "More..."
        f.main->menus().mnuMore->trigger();
        return f.main->options();
    }
    frmOptions* startOptions(bool login = false) { // the client in the band, then "More..."
        f.start({"alwaysontop=True", login ? "loadappwhencomputerstarts=True" : "firstuse=False"},
                {f.documents()});
        f.fake->calls.clear();
        return options();
    }
    frmAddFolder* addFolder() {
        f.main->menus().mnuAddFolderToDesktop->trigger();
        return f.main->addFolderDialog();
    }
    bool inTheBand() const {
        return f.main->menus().mnuAlwaysOnTop->isChecked() && f.fake->topmost[f.main.get()];
    }
    // The last row of a label's place with a dark pixel: the baseline of a text without
    // descenders.
    static int baseline(const QImage& drawn, const QWidget* label) {
        const QRect place = label->geometry();
        for (int y = place.bottom(); y >= place.top(); --y)
            for (int x = place.left(); x <= place.right(); ++x)
                if (qGray(drawn.pixel(x, y)) < 128)
                    return y;
        return -1;
    }

private Q_SLOTS:
    void init() { f.reset(); }
    void cleanup() { f.reset(); }

    // The saved files that still exist, newest first, shown until closed. A click previews in
    // the client, a double-click opens; a vanished file is said so and stays listed. The right
    // button offers the items; "Delete From History" forgets the entry and "Clear History" goes
    // with the last; the file stays.
    void history() {
        const QString a = f.picture("a.png"), b = f.picture("b.png");
        openHistory({b, f.path("gone.png"), "", a});
        frmMain& w = *f.main;
        frmHistory* history = w.history();
        QVERIFY(listed() == QStringList({b, a}) && !w.menus().mnuHistory->isEnabled());
        QCOMPARE(history->List1->geometry(), QRect(0, 0, history->width() - 5, 83));
        click(1);
        QTRY_COMPARE(history->List1->toolTip(),
                     " Double-click to open selected image \"" + a + "\" ");
        QVERIFY(!w.showsBackground() && f.iconInFront() == 0 && w.Timer2.isActive());
        w.SaveImage(-1, f.picture("c.png"));
        const QString c = f.desktop() + "/c.png";
        QCOMPARE(listed(), QStringList({c, b, a}));
        click(1);
        click(1, QTest::MouseDClick);
        QVERIFY(f.fake->calls.contains("openPath: " + b));
        QFile::remove(a);
        click(2);
        click(2, QTest::MouseDClick);
        QStringList shown = f.said();
        shown.removeDuplicates();
        QCOMPARE(shown, QStringList{"Kelvane: File no longer exists in specified folder"});
        QVERIFY(!f.fake->calls.contains("openPath: " + a) && listed() == QStringList({c, b, a}));
        for (int row : {2, 1, 0}) {
            click(row, QTest::MouseClick, Qt::RightButton);
            QTRY_VERIFY(history->mnuFile->isVisible());
            QVERIFY(history->mnuOpen->isEnabled() && w.menus().mnuClearHistory->isEnabled());
            history->mnuFile->hide();
            history->mnuDelete->trigger();
        }
        QVERIFY(listed().isEmpty() && readLines(f.historyFile()).isEmpty() && QFile::exists(b));
        QVERIFY(!w.menus().mnuClearHistory->isEnabled());
        f.fake->soundsPlayed.clear();
        history->close(); // only hides it
        QCOMPARE(f.fake->soundsPlayed, QStringList{f.cue("click")});
        QVERIFY(!history->isVisible() && !history->Timer1.isActive() && !f.state->bShowHistory);
        w.menus().mnuHistory->trigger();
        QTRY_VERIFY(history->isVisible() && f.state->bShowHistory);
    }

    // Into the Trash, restorable, or deleted for good where no Trash can take it.
    void historyDeleteFromDisk_data() {
        QTest::addColumn<DeleteRow>("row");
        QTest::newRow("No") << DeleteRow{"No", true, "", "a b a", "here"};
        QTest::newRow("no Trash, Yes, for good") << DeleteRow{"Yes", false, "", "b", "nowhere"};
        QTest::newRow("no question, gone already") << DeleteRow{"", true, "gone", "a b a", ""};
        QTest::newRow("a save meanwhile") << DeleteRow{"Yes", true, "saved", "c b", "Trash"};
    }
    void historyDeleteFromDisk() {
        QFETCH(DeleteRow, row);
        const QString a = f.picture("a.png"), b = f.picture("b.png");
        openHistory({a, b, a}, row.answer.isEmpty() ? "False" : "True");
        f.fake->noTrash = !row.trash;
        f.fake->messageBoxAnswers = {row.answer == "Yes" ? Platform::Answer::Yes
                                                         : Platform::Answer::No};
        f.fake->whileMessageBoxOpen = [&](const auto&) {
            f.fake->whileMessageBoxOpen = nullptr;
            if (row.happens == "saved")
                f.main->SaveImage(-1, f.picture("c.png"));
        };
        click(0);
        if (row.happens == "gone")
            QFile::remove(a);
        f.main->history()->mnuDeleteFromDisk->trigger();
        QStringList expected;
        if (!row.answer.isEmpty())
            expected << "Confirm Delete: Are you sure you want to " +
                            (row.trash ? "move the file \"" + a + "\" to the Trash?"
                                       : "delete the file \"" + a +
                                             "\" from your disk? No Trash can take it: it will be "
                                             "deleted for good.");
        if (row.happens == "gone")
            expected << "Kelvane: There was an error while attempting to delete this file.";
        QCOMPARE(f.said(), expected);
        QCOMPARE(listed().replaceInStrings(QRegularExpression(".*/(.)\\.png$"), "\\1").join(' '),
                 row.after);
        QVERIFY(QFile::exists(a) == (row.where == "here") && QFile::exists(b));
        QCOMPARE(readLines(f.historyFile()), listed());
        QDir trash(qEnvironmentVariable("XDG_DATA_HOME") + "/Trash"); // where a came from
        const QStringList info = QDir(trash.filePath("info")).entryList({"*.trashinfo"});
        QCOMPARE(info.size(), int(row.where == "Trash"));
        QVERIFY(info.isEmpty() || (readBytes(trash.filePath("info/" + info[0]))
                                       .contains("\nPath=" + QUrl::toPercentEncoding(a, "/")) &&
                                   QFile::exists(trash.filePath("files/" + info[0].chopped(10)))));
        trash.removeRecursively();
    }

    // OK turns each box on alone and the settings file says so; the start-up entry written or
    // deleted. The browser option asks at each tick unless start at login is on: No clears the
    // box and the setting at once, Yes ticks start at login too, and OK writes both.
    void optionsEachBox_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("login"); // start at login on before
        QTest::newRow("start at login") << 1 << QString("loadappwhencomputerstarts") << false;
        QTest::newRow("ask before deleting") << 2 << QString("alwayspromptfiledelete") << false;
        QTest::newRow("delete history on exit") << 3 << QString("deletehistoryonclose") << false;
        QTest::newRow("message after a failed save")
            << 4 << QString("showsavesrrormessage") << false;
        QTest::newRow("number files") << 5 << QString("autoincrementsavedfiles") << false;
        QTest::newRow("clean query names") << 6 << QString("correctquerystringnames") << false;
        QTest::newRow("browser following, asked")
            << 7 << QString("synchronizewithinternetexplorer") << false;
        QTest::newRow("browser following, start at login on")
            << 7 << QString("synchronizewithinternetexplorer") << true;
    }
    void optionsEachBox() {
        QFETCH(int, box);
        QFETCH(QString, line);
        QFETCH(bool, login);
        frmOptions* options = startOptions(login);
        for (QCheckBox* b : options->findChildren<QCheckBox*>())
            QCOMPARE(b->isChecked(), login && b == options->Check1);
        QCheckBox* ticked = options->findChild<QCheckBox*>(QString("Check%1").arg(box));
        const bool asks = box == 7 && !login;
        if (asks) {
            f.state->bSynchronizeWithInternetExplorer = true; // turned on meanwhile by the tray
            f.fake->messageBoxAnswers = {Platform::Answer::No, Platform::Answer::Yes};
            click(ticked);
            QVERIFY(!ticked->isChecked() && !options->Check1->isChecked() &&
                    !f.state->bSynchronizeWithInternetExplorer);
        }
        click(ticked);
        QTest::mouseClick(options->cmdOK, Qt::LeftButton);
        QVERIFY(!f.main->options() || !f.main->options()->isVisible());
        const QString asked = "More Settings Needed: Kelvane must run in the background for this "
                              "option to work. Would you like to enable this setting?";
        QCOMPARE(f.said(), asks ? QStringList({asked, asked}) : QStringList());
        QCOMPARE(readLines(f.settingsFile()).mid(0, 17).filter("=True"),
                 QStringList{"alwaysontop=True"} +
                     (box == 7 ? QStringList{"loadappwhencomputerstarts=True"} : QStringList()) +
                     QStringList{line + "=True"});
        QCOMPARE(f.main->Timer5.isActive(), box == 7);
        QCOMPARE(
            f.fake->calls.filter("Autostart"),
            QStringList{box % 6 == 1 ? "writeAutostartEntry: hidden" : "deleteAutostartEntry"});
    }

    // The close box writes nothing. Reopening fills afresh, but "More..." on an open dialog
    // keeps what the user ticked. A settings file that cannot be written: OK says so and the
    // dialog stays; Cancel too. A start-up entry that cannot be written is said so as well.
    void optionsReopenedAndUnwritable() {
        frmOptions* options = startOptions();
        click(options->Check3);
        QCOMPARE(this->options(), options);
        QVERIFY(options->Check3->isChecked());
        const QByteArray before = readBytes(f.settingsFile());
        options->close();
        QVERIFY(readBytes(f.settingsFile()) == before && !f.state->bDeleteHistoryOnClose);
        f.state->bAlwaysPromptFileDelete = true; // changed meanwhile
        QTRY_VERIFY(!f.main->options());
        options = this->options();
        QVERIFY(!options->Check3->isChecked() && options->Check2->isChecked());
        QDir(f.path("state")).removeRecursively();
        writeFile(f.path("state"), "a file where the folder should be");
        f.fake->autostartFails = true;
        click(options->Check1);
        QTest::mouseClick(options->cmdOK, Qt::LeftButton);
        QTest::mouseClick(options->cmdCancel, Qt::LeftButton);
        QCOMPARE(f.said(), QStringList({"Kelvane: There was an error while attempting to write "
                                        "the start-up entry. This request cannot be completed.",
                                        "Kelvane: There was an error while attempting to apply "
                                        "these settings.",
                                        "Kelvane: There was an error while saving the settings."}));
        QCOMPARE(f.fake->messageBoxes[1].icon, Platform::Icon::Critical);
        QVERIFY(options->isVisible() && f.state->bLoadAppWhenComputerStarts);
        options->close();
    }

    // A name typed, OK clicked: a folder under the Desktop and its label, or the creation
    // message with nothing made; the band left while the dialog is open.
    void addFolderNames_data() {
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
    void addFolderNames() {
        QFETCH(QString, name);
        QFETCH(bool, made);
        f.start({"alwaysontop=True"}, {f.documents()});
        f.folder("home/Desktop/Old");
        const QStringList before = entries(f.desktop());
        frmAddFolder* dialog = addFolder();
        QVERIFY(dialog->isVisible() && !f.main->menus().mnuAlwaysOnTop->isChecked());
        dialog->Text1->setText(name);
        QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
        const QString path = f.desktop() + '/' + name;
        QVERIFY(made ? QFileInfo(path).isDir() : entries(f.desktop()) == before);
        QCOMPARE(f.main->FolderList().FolderIsInList(path), made);
        QCOMPARE(f.main->controls().Text[1]->text(), made ? path : QString());
        if (!made) {
            QCOMPARE(f.said(), QStringList{"Kelvane: There was an error while attempting to "
                                           "create this folder. Please use only legal "
                                           "characters."});
            QCOMPARE(f.fake->messageBoxes.value(0).icon, Platform::Icon::Critical);
            QVERIFY(dialog->isVisible() && dialog->Text1->text() == name);
            dialog->close();
        }
        QTRY_VERIFY(!f.main->addFolderDialog());
        QVERIFY(inTheBand());
    }

    // Cancel makes nothing; the field is empty on the next opening, Return is OK; a missing
    // Desktop folder is made for the new one. A label's folder deleted meanwhile: a
    // double-click says so and takes it off the list. A folder whose name holds a line break is
    // not taken in.
    void addFolderCancelAndGoneFolders() {
        const QString gone = f.folder("Gone"), broken = f.folder("line\nbreak");
        f.start({"alwaysontop=True"}, {f.documents(), gone});
        QDir(f.desktop()).removeRecursively();
        QTest::keyClicks(addFolder()->Text1, "Kept");
        QTest::mouseClick(f.main->addFolderDialog()->cmdCancel, Qt::LeftButton);
        QTRY_VERIFY(!f.main->addFolderDialog());
        QVERIFY(!QFileInfo::exists(f.desktop()) && addFolder()->Text1->text().isEmpty());
        QTest::keyClicks(addFolder()->Text1, "Kept");
        QTest::keyClick(addFolder()->Text1, Qt::Key_Return);
        QVERIFY(QFileInfo(f.desktop() + "/Kept").isDir() && f.said().isEmpty());
        QVERIFY(QDir(gone).removeRecursively());
        QTest::mouseDClick(f.main->controls().Text[1], Qt::LeftButton);
        QCOMPARE(f.said(), QStringList{"Kelvane: The folder " + gone +
                                       " no longer exists on your computer and has been removed "
                                       "from the Folders List."});
        QVERIFY(f.fake->calls.filter("openPath").isEmpty() &&
                !f.main->FolderList().FolderIsInList(gone));
        f.fake->folderDialogAnswers = {broken};
        f.main->menus().mnuAddFolder->trigger();
        QVERIFY(f.said().size() == 1 && !f.main->FolderList().FolderIsInList(broken));
    }

    // Each value beside its caption, on its line; the licence named. A second "About" brings
    // the same window forward; with the options open too, the band comes back only when the
    // last one goes. The help page and the homepage handed to the desktop, a click heard; a
    // message for each when the desktop cannot open it.
    void about() {
        f.fake->versionNumbers = {3, 7, 105};
        f.start({"alwaysontop=True"}, {f.documents()});
        f.main->menus().mnuAbout->trigger();
        frmAbout* about = f.main->about();
        QVERIFY(about && about->isVisible() && !inTheBand());
        const QImage drawn = about->grab().toImage();
        for (auto [caption, value, text] :
             {std::tuple{about->Label1, about->Label8, "Version: 3.7"},
              std::tuple{about->Label2, about->Label9, "Build:105"}}) {
            QCOMPARE(caption->text() + value->text(), QString(text));
            QVERIFY(value->x() > caption->geometry().right());
            QCOMPARE(baseline(drawn, value), baseline(drawn, caption));
        }
        QCOMPARE(about->Label10->text(), "Kelvane is free software under the GNU General Public "
                                         "License, version 3 or later.");
        f.main->menus().mnuAbout->trigger();
        QCOMPARE(f.main->findChildren<frmAbout*>(), QList<frmAbout*>{about});
        QVERIFY(about->isVisible() && !inTheBand());
        f.main->menus().mnuMore->trigger();
        QTest::mouseClick(about->cmdOK, Qt::LeftButton);
        QTRY_VERIFY(!f.main->about());
        QVERIFY(!inTheBand());
        f.main->findChild<QWidget*>("frmOptions")->close();
        QVERIFY(inTheBand());
        f.fake->soundsPlayed.clear();
        for (bool opens : {true, false}) {
            f.fake->openSucceeds = opens;
            f.main->menus().mnuContents->trigger();
            f.main->menus().mnuOpenWebsite->trigger();
        }
        const QStringList asked{"openPath: " + f.fake->resources + "/KelvaneHelp.html",
                                "openAddress: https://kelvane.org/"};
        QCOMPARE(f.fake->calls.filter(QRegularExpression("^open")), asked + asked);
        QCOMPARE(
            f.said(),
            QStringList({"Kelvane: There was an error while loading the Help file",
                         "Kelvane: There was an error while attempting to open this website."}));
        QCOMPARE(f.fake->soundsPlayed.count(f.cue("click")), 4);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
