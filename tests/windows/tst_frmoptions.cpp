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
    static void click(QCheckBox* box) { // the mouse on the box's square
        QStyleOptionButton square;
        square.initFrom(box);
        QTest::mouseClick(
            box, Qt::LeftButton, {},
            box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &square, box).center());
    }
    QStringList settingsLines() const { return readLines(f.settingsFile()); }
    void start(const QStringList& values) {
        f.load(QStringList{"alwaysontop=True"} + values, {f.documents()});
        f.handOver();
        f.fake->calls.clear();
    }

private Q_SLOTS:
    void init() { f.reset(); }
    void cleanup() { f.reset(); }

    // OK turns each box on alone (a click on it), and the settings file says so.
    void eachBoxToItsSetting_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("line");
        QTest::newRow("start at login") << "Check1"
                                        << "loadappwhencomputerstarts";
        QTest::newRow("ask before deleting") << "Check2"
                                             << "alwayspromptfiledelete";
        QTest::newRow("delete history on exit") << "Check3"
                                                << "deletehistoryonclose";
        QTest::newRow("message after a failed save") << "Check4"
                                                     << "showsavesrrormessage";
        QTest::newRow("number files") << "Check5"
                                      << "autoincrementsavedfiles";
        QTest::newRow("clean query names") << "Check6"
                                           << "correctquerystringnames";
        QTest::newRow("browser following") << "Check7"
                                           << "synchronizewithinternetexplorer";
    }
    void eachBoxToItsSetting() {
        QFETCH(QString, box);
        QFETCH(QString, line);
        // All off, start at login on when the browser option is tested (so nothing is asked).
        const bool browser = box == "Check7";
        start({"loadappwhencomputerstarts=" + QString(browser ? "True" : "False")});
        frmOptions* options = open();
        QVERIFY(options && options->isVisible());
        for (QCheckBox* b : options->findChildren<QCheckBox*>())
            QCOMPARE(b->isChecked(), browser && b == options->Check1);
        click(options->findChild<QCheckBox*>(box));
        options->cmdOK->click();
        QVERIFY(!f.main->options() || !f.main->options()->isVisible());
        QCOMPARE(f.fake->messageBoxes.size(), 0);
        const QStringList lines = settingsLines();
        QCOMPARE(lines.filter("=True").filter(QRegularExpression("^(load|always|delete|show|"
                                                                 "auto|correct|sync)")),
                 (browser ? QStringList{"alwaysontop=True", "loadappwhencomputerstarts=True"}
                          : QStringList{"alwaysontop=True"}) +
                     QStringList{line + "=True"});
        QCOMPARE(f.main->Timer5.isActive(), browser);
        // Start at login: the entry is written when on, deleted (silently, missing or not)
        // when off.
        const bool login = box == "Check1" || browser;
        QCOMPARE(f.fake->calls.filter("Autostart"),
                 QStringList{login ? "writeAutostartEntry: hidden" : "deleteAutostartEntry"});
    }

    // The browser option without start at login asks at each tick of the box (a click on it);
    // No clears the box, Yes ticks start at login too.
    void moreSettingsNeeded_data() {
        QTest::addColumn<QStringList>("answers"); // one click on the box for each
        QTest::addColumn<bool>("ok");             // else Cancel
        QTest::addColumn<bool>("following");      // afterwards, in the settings file
        QTest::newRow("Yes, then OK") << QStringList{"Yes"} << true << true;
        QTest::newRow("No, then OK") << QStringList{"No"} << true << false;
        QTest::newRow("No, then Cancel") << QStringList{"No"} << false << false;
        QTest::newRow("No, ticked again, Yes, OK") << QStringList{"No", "Yes"} << true << true;
    }
    void moreSettingsNeeded() {
        QFETCH(QStringList, answers);
        QFETCH(bool, ok);
        QFETCH(bool, following);
        start({"synchronizewithinternetexplorer=False"});
        f.main->Timer5.start();
        frmOptions* options = open();
        f.state->bSynchronizeWithInternetExplorer = true; // turned on meanwhile by the tray
        for (const QString& answer : answers) {
            f.fake->messageBoxAnswers = {answer == "Yes" ? Platform::Answer::Yes
                                                         : Platform::Answer::No};
            click(options->Check7);
            QCOMPARE(f.fake->messageBoxes.size(), 1);
            QCOMPARE(f.fake->messageBoxes[0].title, QString("More Settings Needed"));
            QCOMPARE(f.fake->messageBoxes[0].text,
                     QString("Kelvane must run in the background for this option to work. "
                             "Would you like to enable this setting?"));
            f.fake->messageBoxes.clear();
            // Yes ticks both boxes; No clears this one and takes the setting off at once.
            QCOMPARE(options->Check7->isChecked(), answer == "Yes");
            QCOMPARE(options->Check1->isChecked(), answer == "Yes");
            if (answer == "No")
                QVERIFY(!f.state->bSynchronizeWithInternetExplorer);
        }
        (ok ? options->cmdOK : options->cmdCancel)->click();
        const QString flag = following ? "=True" : "=False";
        QVERIFY(settingsLines().contains("synchronizewithinternetexplorer" + flag));
        QCOMPARE(settingsLines().contains("loadappwhencomputerstarts=True"), ok && following);
        QCOMPARE(f.main->Timer5.isActive(), !ok || following);
        QVERIFY(f.fake->messageBoxes.isEmpty());
    }

    // While the dialog is open the client is out of the band (mark cleared); any way out
    // brings both back. The close box writes nothing. Reopening fills afresh, but "More..."
    // on an open dialog keeps what the user ticked.
    void bandAndReopening() {
        start({});
        frmOptions* options = open();
        QCOMPARE(f.fake->topmost.value(f.main.get()), false);
        QVERIFY(!f.main->menus().mnuAlwaysOnTop->isChecked());
        click(options->Check3);
        QCOMPARE(open(), options);
        QVERIFY(options->Check3->isChecked());
        const QByteArray before = readBytes(f.settingsFile());
        options->close();
        QCOMPARE(readBytes(f.settingsFile()), before);
        QVERIFY(f.fake->topmost.value(f.main.get()) && f.main->menus().mnuAlwaysOnTop->isChecked());
        QVERIFY(!f.state->bDeleteHistoryOnClose);
        f.main->menus().mnuPlayConfirmationSound->trigger(); // the menus go on meanwhile
        f.state->bAlwaysPromptFileDelete = true;
        QTRY_VERIFY(!f.main->options());
        options = open();
        QVERIFY(!options->Check3->isChecked() && options->Check2->isChecked());
        options->cmdCancel->click();
        QVERIFY(f.fake->topmost.value(f.main.get()) && f.main->menus().mnuAlwaysOnTop->isChecked());
        QVERIFY(settingsLines().contains("alwayspromptfiledelete=True"));
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
        options->cmdOK->click();
        options->cmdCancel->click();
        QStringList said;
        for (const auto& box : f.fake->messageBoxes)
            said << box.text;
        QCOMPARE(said, QStringList({"There was an error while attempting to write the start-up "
                                    "entry. This request cannot be completed.",
                                    "There was an error while attempting to apply these settings.",
                                    "There was an error while saving the settings."}));
        QCOMPARE(f.fake->messageBoxes[0].icon, Platform::Icon::Critical);
        QCOMPARE(f.fake->messageBoxes[1].icon, Platform::Icon::Critical);
        QVERIFY(options->isVisible() && f.state->bLoadAppWhenComputerStarts);
        options->close();
    }
};

QTEST_MAIN(TestFrmOptions)
#include "tst_frmoptions.moc"
