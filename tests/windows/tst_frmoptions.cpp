// "More Options": each box to its setting and the settings file, the question of the browser
// option, the autostart entry, the band while the dialog is open, a fresh fill on reopening.
#include "ClientFixture.h"
#include "settings/frmOptions.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QStyleOptionButton>

using namespace kelvane;
using namespace kelvane::test;

class TestFrmOptions : public QObject {
    Q_OBJECT

    ClientFixture f;

    frmOptions* open() { // "More..."
        f.main->menus().mnuMore->trigger();
        return f.main->options();
    }
    static void click(QAbstractButton* box) { // the mouse on the box's square, or the button
        QStyleOptionButton square;
        square.initFrom(box);
        const QRect r = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &square, box);
        QTest::mouseClick(box, Qt::LeftButton, {},
                          qobject_cast<QCheckBox*>(box) ? r.center() : box->rect().center());
    }
    bool inTheBand() const {
        return f.fake->topmost.value(f.main.get()) && f.main->menus().mnuAlwaysOnTop->isChecked();
    }
    QStringList said() const {
        QStringList texts;
        for (const auto& box : f.fake->messageBoxes)
            texts << box.text + (box.icon == Platform::Icon::Critical ? " (critical)" : "");
        return texts;
    }
    void start(const QStringList& values) {
        f.load(QStringList{"alwaysontop=True"} + values, {f.documents()});
        f.handOver();
        f.fake->calls.clear();
    }

private Q_SLOTS:
    void init() { f.reset(); }
    void cleanup() { f.reset(); }

    // OK turns each box on alone (a click on it), and the settings file says so; the browser
    // option is tried with start at login on, so that nothing is asked.
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
        start({"loadappwhencomputerstarts=" + QString(browser ? "True" : "False")});
        frmOptions* options = open();
        for (QCheckBox* b : options->findChildren<QCheckBox*>())
            QCOMPARE(b->isChecked(), browser && b == options->Check1);
        click(options->findChild<QCheckBox*>(QString("Check%1").arg(box)));
        click(options->cmdOK);
        QVERIFY(!f.main->options() || !f.main->options()->isVisible());
        QCOMPARE(said(), QStringList());
        QStringList on{"alwaysontop=True", line + "=True"};
        if (browser)
            on.insert(1, "loadappwhencomputerstarts=True");
        QCOMPARE(readLines(f.settingsFile()).mid(0, 17).filter("=True"), on);
        QCOMPARE(f.main->Timer5.isActive(), browser);
        // The start-up entry written when on, deleted (silently, missing or not) when off.
        QCOMPARE(
            f.fake->calls.filter("Autostart"),
            QStringList{box % 6 == 1 ? "writeAutostartEntry: hidden" : "deleteAutostartEntry"});
    }

    // The browser option without start at login asks at each tick of the box: No clears the
    // box and the setting at once, Yes ticks start at login too.
    void moreSettingsNeeded_data() {
        QTest::addColumn<QStringList>("answers"); // one click on the box for each
        QTest::addColumn<bool>("ok");             // else Cancel
        QTest::newRow("Yes, then OK") << QStringList{"Yes"} << true;
        QTest::newRow("No, then Cancel") << QStringList{"No"} << false;
        QTest::newRow("No, ticked again, Yes, OK") << QStringList{"No", "Yes"} << true;
    }
    void moreSettingsNeeded() {
        QFETCH(QStringList, answers);
        QFETCH(bool, ok);
        start({});
        f.main->Timer5.start();
        frmOptions* options = open();
        f.state->bSynchronizeWithInternetExplorer = true; // turned on meanwhile by the tray
        for (const QString& answer : answers) {
            const bool yes = answer == "Yes";
            f.fake->messageBoxAnswers = {yes ? Platform::Answer::Yes : Platform::Answer::No};
            click(options->Check7);
            QCOMPARE(f.fake->messageBoxes.value(0).title, QString("More Settings Needed"));
            QCOMPARE(said(), QStringList{"Kelvane must run in the background for this option to "
                                         "work. Would you like to enable this setting?"});
            f.fake->messageBoxes.clear();
            QVERIFY(options->Check7->isChecked() == yes && options->Check1->isChecked() == yes);
            QVERIFY(yes || !f.state->bSynchronizeWithInternetExplorer);
        }
        click(ok ? options->cmdOK : options->cmdCancel);
        const QStringList lines = readLines(f.settingsFile());
        QVERIFY(
            lines.contains("synchronizewithinternetexplorer=" + QString(ok ? "True" : "False")));
        QCOMPARE(lines.contains("loadappwhencomputerstarts=True"), ok);
        QCOMPARE(f.main->Timer5.isActive(), true);
    }

    // While the dialog is open the client is out of the band; any way out brings it back. The
    // close box writes nothing. Reopening fills afresh, but "More..." on an open dialog keeps
    // what the user ticked.
    void bandAndReopening() {
        start({});
        frmOptions* options = open();
        QVERIFY(!inTheBand());
        click(options->Check3);
        QCOMPARE(open(), options);
        QVERIFY(options->Check3->isChecked());
        const QByteArray before = readBytes(f.settingsFile());
        options->close();
        QCOMPARE(readBytes(f.settingsFile()), before);
        QVERIFY(inTheBand() && !f.state->bDeleteHistoryOnClose);
        f.state->bAlwaysPromptFileDelete = true; // changed meanwhile
        QTRY_VERIFY(!f.main->options());
        options = open();
        QVERIFY(!options->Check3->isChecked() && options->Check2->isChecked());
        click(options->cmdCancel);
        QVERIFY(inTheBand());
    }

    // A settings file that cannot be written: OK says so and the dialog stays; Cancel too. A
    // start-up entry that cannot be written is said so as well.
    void settingsCannotBeWritten() {
        start({});
        frmOptions* options = open();
        QDir(f.path("state")).removeRecursively();
        writeFile(f.path("state"), "a file where the folder should be");
        f.fake->autostartFails = true;
        click(options->Check1);
        click(options->cmdOK);
        click(options->cmdCancel);
        QCOMPARE(said(), QStringList({"There was an error while attempting to write the start-up "
                                      "entry. This request cannot be completed. (critical)",
                                      "There was an error while attempting to apply these "
                                      "settings. (critical)",
                                      "There was an error while saving the settings."}));
        QVERIFY(options->isVisible() && f.state->bLoadAppWhenComputerStarts);
        options->close();
    }
};

QTEST_MAIN(TestFrmOptions)
#include "tst_frmoptions.moc"
