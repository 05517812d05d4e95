// "More Options": each box to its setting, the browser option's question, the start-up entry,
// a fresh fill on reopening, files that cannot be written.
#include "ClientFixture.h"
#include "settings/frmOptions.h"

#include <QtWidgets>

using namespace kelvane;
using namespace kelvane::test;

class TestFrmOptions : public QObject {
    Q_OBJECT

    ClientFixture f;

    frmOptions* open() { // "More..."
        f.main->menus().mnuMore->trigger();
        return f.main->options();
    }
    static void click(QCheckBox* box) { // the mouse on the box's square
        QStyleOptionButton square;
        square.initFrom(box);
        QTest::mouseClick(
            box, Qt::LeftButton, {},
            box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &square, box).center());
    }
    QStringList said() const { // the messages shown, "title: text"
        return f.fake->calls.filter("messageBox: ").replaceInStrings("messageBox: ", "");
    }
    frmOptions* start(bool login = false) { // the client in the band, then "More..."
        f.load({"alwaysontop=True", login ? "loadappwhencomputerstarts=True" : "firstuse=False"},
               {f.documents()});
        f.handOver();
        f.fake->calls.clear();
        return open();
    }

private Q_SLOTS:
    void init() { f.reset(); }
    void cleanup() { f.reset(); }

    // OK turns each box on alone and the settings file says so (the browser option with start
    // at login on, so that nothing is asked); the start-up entry written or deleted.
    void eachBoxToItsSetting_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("line");
        QTest::newRow("start at login") << 1 << QString("loadappwhencomputerstarts");
        QTest::newRow("ask before deleting") << 2 << QString("alwayspromptfiledelete");
        QTest::newRow("delete history on exit") << 3 << QString("deletehistoryonclose");
        QTest::newRow("message after a failed save") << 4 << QString("showsavesrrormessage");
        QTest::newRow("number files") << 5 << QString("autoincrementsavedfiles");
        QTest::newRow("clean query names") << 6 << QString("correctquerystringnames");
        QTest::newRow("browser following") << 7 << QString("synchronizewithinternetexplorer");
    }
    void eachBoxToItsSetting() {
        QFETCH(int, box);
        QFETCH(QString, line);
        const bool browser = box == 7;
        frmOptions* options = start(browser);
        for (QCheckBox* b : options->findChildren<QCheckBox*>())
            QCOMPARE(b->isChecked(), browser && b == options->Check1);
        click(options->findChild<QCheckBox*>(QString("Check%1").arg(box)));
        QTest::mouseClick(options->cmdOK, Qt::LeftButton);
        QVERIFY(!f.main->options() || !f.main->options()->isVisible());
        QCOMPARE(said(), QStringList());
        QCOMPARE(readLines(f.settingsFile()).mid(0, 17).filter("=True"),
                 QStringList{"alwaysontop=True"} +
                     (browser ? QStringList{"loadappwhencomputerstarts=True"} : QStringList()) +
                     QStringList{line + "=True"});
        QCOMPARE(f.main->Timer5.isActive(), browser);
        QCOMPARE(
            f.fake->calls.filter("Autostart"),
            QStringList{box % 6 == 1 ? "writeAutostartEntry: hidden" : "deleteAutostartEntry"});
    }

    // The browser option without start at login asks at each tick of the box: No clears the
    // box and the setting at once, Yes ticks start at login too, and OK writes both.
    void moreSettingsNeeded() {
        frmOptions* options = start();
        f.state->bSynchronizeWithInternetExplorer = true; // turned on meanwhile by the tray
        for (bool yes : {false, true}) {
            f.fake->messageBoxAnswers = {yes ? Platform::Answer::Yes : Platform::Answer::No};
            click(options->Check7);
            QCOMPARE(said(), QStringList{"More Settings Needed: Kelvane must run in the background "
                                         "for this option to work. Would you like to enable this "
                                         "setting?"});
            f.fake->calls.clear();
            QVERIFY(options->Check7->isChecked() == yes && options->Check1->isChecked() == yes);
            QVERIFY(yes || !f.state->bSynchronizeWithInternetExplorer);
        }
        QTest::mouseClick(options->cmdOK, Qt::LeftButton);
        QVERIFY(readLines(f.settingsFile()).contains("synchronizewithinternetexplorer=True"));
        QVERIFY(readLines(f.settingsFile()).contains("loadappwhencomputerstarts=True"));
        QVERIFY(f.main->Timer5.isActive());
    }

    // The close box writes nothing. Reopening fills afresh, but "More..." on an open dialog
    // keeps what the user ticked.
    void bandAndReopening() {
        frmOptions* options = start();
        click(options->Check3);
        QCOMPARE(open(), options);
        QVERIFY(options->Check3->isChecked());
        const QByteArray before = readBytes(f.settingsFile());
        options->close();
        QVERIFY(readBytes(f.settingsFile()) == before && !f.state->bDeleteHistoryOnClose);
        f.state->bAlwaysPromptFileDelete = true; // changed meanwhile
        QTRY_VERIFY(!f.main->options());
        options = open();
        QVERIFY(!options->Check3->isChecked() && options->Check2->isChecked());
        QTest::mouseClick(options->cmdCancel, Qt::LeftButton);
    }

    // A settings file that cannot be written: OK says so and the dialog stays; Cancel too. A
    // start-up entry that cannot be written is said so as well.
    void settingsCannotBeWritten() {
        frmOptions* options = start();
        QDir(f.path("state")).removeRecursively();
        writeFile(f.path("state"), "a file where the folder should be");
        f.fake->autostartFails = true;
        click(options->Check1);
        QTest::mouseClick(options->cmdOK, Qt::LeftButton);
        QTest::mouseClick(options->cmdCancel, Qt::LeftButton);
        QCOMPARE(said(), QStringList({"Kelvane: There was an error while attempting to write the "
                                      "start-up entry. This request cannot be completed.",
                                      "Kelvane: There was an error while attempting to apply "
                                      "these settings.",
                                      "Kelvane: There was an error while saving the settings."}));
        QCOMPARE(f.fake->messageBoxes[1].icon, Platform::Icon::Critical);
        QVERIFY(options->isVisible() && f.state->bLoadAppWhenComputerStarts);
        options->close();
    }
};

QTEST_MAIN(TestFrmOptions)
#include "tst_frmoptions.moc"
