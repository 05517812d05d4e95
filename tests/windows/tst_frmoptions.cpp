// "More Options": each box to its setting and the settings file, the question of the browser
// option, the autostart entry, the band while the dialog is open, a fresh fill on reopening.
#include "ClientFixture.h"
#include "settings/frmOptions.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>

using namespace kelvane;
using namespace kelvane::test;

class TestFrmOptions : public QObject {
    Q_OBJECT

    ClientFixture f;

    frmOptions* open() { // "More..."
        f.main->menus().mnuMore->trigger();
        return f.main->options();
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

    // box | its line in the settings file: OK turns each on alone, and the file says so.
    void eachBoxToItsSetting_data() {
        addRows({"Check1|loadappwhencomputerstarts", "Check2|alwayspromptfiledelete",
                 "Check3|deletehistoryonclose", "Check4|showsavesrrormessage",
                 "Check5|autoincrementsavedfiles", "Check6|correctquerystringnames",
                 "Check7|synchronizewithinternetexplorer"});
    }
    void eachBoxToItsSetting() {
        QFETCH(QStringList, row);
        // All off, start at login on when the browser option is tested (so nothing is asked).
        const bool browser = row[0] == "Check7";
        start({"loadappwhencomputerstarts=" + QString(browser ? "True" : "False")});
        frmOptions* options = open();
        QVERIFY(options && options->isVisible());
        for (QCheckBox* box : options->findChildren<QCheckBox*>())
            QCOMPARE(box->isChecked(), browser && box == options->Check1);
        options->findChild<QCheckBox*>(row[0])->setChecked(true);
        options->cmdOK->click();
        QVERIFY(!f.main->options() || !f.main->options()->isVisible());
        QCOMPARE(f.fake->messageBoxes.size(), 0);
        const QStringList lines = settingsLines();
        QCOMPARE(lines.filter("=True").filter(QRegularExpression("^(load|always|delete|show|"
                                                                 "auto|correct|sync)")),
                 (browser ? QStringList{"alwaysontop=True", "loadappwhencomputerstarts=True"}
                          : QStringList{"alwaysontop=True"}) +
                     QStringList{row[1] + "=True"});
        QCOMPARE(f.main->Timer5.isActive(), browser);
        // Start at login: the entry is written when on, deleted (silently, missing or not)
        // when off.
        const bool login = row[0] == "Check1" || browser;
        QCOMPARE(f.fake->calls.filter("Autostart"),
                 QStringList{login ? "writeAutostartEntry: hidden" : "deleteAutostartEntry"});
    }

    // The browser option without start at login asks; answer | then | both boxes, setting.
    void moreSettingsNeeded_data() {
        addRows({"Yes|OK|on on|True", "No|OK|off off|False", "No|Cancel|off off|False"});
    }
    void moreSettingsNeeded() {
        QFETCH(QStringList, row);
        start({"synchronizewithinternetexplorer=False"});
        f.main->Timer5.start();
        frmOptions* options = open();
        f.fake->messageBoxAnswers = {row[0] == "Yes" ? Platform::Answer::Yes
                                                     : Platform::Answer::No};
        f.state->bSynchronizeWithInternetExplorer = true; // turned on meanwhile by the tray
        options->Check7->setChecked(true);
        QCOMPARE(f.fake->messageBoxes.size(), 1);
        QCOMPARE(f.fake->messageBoxes[0].title, QString("More Settings Needed"));
        QCOMPARE(f.fake->messageBoxes[0].text,
                 QString("Kelvane must run in the background for this option to work. Would you "
                         "like to enable this setting?"));
        const QString both = QString(options->Check7->isChecked() ? "on " : "off ") +
                             (options->Check1->isChecked() ? "on" : "off");
        QCOMPARE(both, row[2]);
        // No takes the setting off at once, before OK or Cancel.
        QCOMPARE(f.state->bSynchronizeWithInternetExplorer, row[0] == "Yes");
        (row[1] == "OK" ? options->cmdOK : options->cmdCancel)->click();
        QVERIFY(settingsLines().contains("synchronizewithinternetexplorer=" + row[3]));
        QCOMPARE(f.main->Timer5.isActive(), row[1] == "Cancel" || row[0] == "Yes");
        QCOMPARE(f.fake->messageBoxes.size(), 1);
    }

    // While the dialog is open the client is out of the band (mark cleared); any way out
    // brings both back. The close box writes nothing. Reopening fills afresh, but "More..."
    // on an open dialog keeps what the user ticked.
    void bandAndReopening() {
        start({});
        frmOptions* options = open();
        QCOMPARE(f.fake->topmost.value(f.main.get()), false);
        QVERIFY(!f.main->menus().mnuAlwaysOnTop->isChecked());
        options->Check3->setChecked(true);
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

    // A settings file that cannot be written: OK says so and the dialog stays; Cancel too.
    void settingsCannotBeWritten() {
        start({});
        frmOptions* options = open();
        QDir(f.path("state")).removeRecursively();
        writeFile(f.path("state"), "a file where the folder should be");
        options->Check5->setChecked(true);
        options->cmdOK->click();
        options->cmdCancel->click();
        QCOMPARE(f.fake->messageBoxes.size(), 2);
        QCOMPARE(f.fake->messageBoxes[0].text,
                 QString("There was an error while attempting to apply these settings."));
        QCOMPARE(f.fake->messageBoxes[0].icon, Platform::Icon::Critical);
        QCOMPARE(f.fake->messageBoxes[1].text,
                 QString("There was an error while saving the settings."));
        QVERIFY(options->isVisible() && f.state->bAutoIncrementSavedFiles);
        options->close();
    }
};

QTEST_MAIN(TestFrmOptions)
#include "tst_frmoptions.moc"
