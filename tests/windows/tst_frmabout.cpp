// "About Kelvane" and the help commands: version and build, one window brought forward, the
// band while it is open; the help page and the homepage handed to the desktop.
#include "ClientFixture.h"
#include "ui/frmAbout.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

using namespace kelvane;
using namespace kelvane::test;

class TestFrmAbout : public QObject {
    Q_OBJECT

    ClientFixture f;

private Q_SLOTS:
    void init() {
        f.reset();
        f.fake->versionNumbers = {3, 7, 105};
        f.load({"alwaysontop=True"}, {f.documents()});
        f.handOver();
        f.fake->calls.clear();
    }
    void cleanup() { f.reset(); }

    void versionAndBuild() {
        f.main->menus().mnuAbout->trigger();
        frmAbout* about = f.main->about();
        QVERIFY(about && about->isVisible());
        QCOMPARE(about->Label1->text(), QString("Version: "));
        QCOMPARE(about->Label8->text(), QString("3.7"));
        QCOMPARE(about->Label2->text(), QString("Build:"));
        QCOMPARE(about->Label9->text(), QString("105"));
        // Each value readable beside its caption, whatever the font.
        QVERIFY(about->Label8->x() > about->Label1->geometry().right());
        QVERIFY(about->Label9->x() > about->Label2->geometry().right());
        QVERIFY(!f.main->menus().mnuAlwaysOnTop->isChecked() && !f.fake->topmost[f.main.get()]);
        const auto outOfTheBand = [&] {
            return !f.main->menus().mnuAlwaysOnTop->isChecked() && !f.fake->topmost[f.main.get()];
        };
        f.main->menus().mnuAbout->trigger(); // the same window, forward, the band still left
        QCOMPARE(f.main->about(), about);
        QCOMPARE(f.main->findChildren<frmAbout*>().size(), 1);
        QVERIFY(about->isVisible() && outOfTheBand());
        // With the options open too, the band comes back only when the last one goes.
        f.main->menus().mnuMore->trigger();
        about->cmdOK->click();
        QTRY_VERIFY(!f.main->about());
        QVERIFY(outOfTheBand());
        f.main->findChild<QWidget*>("frmOptions")->close();
        QVERIFY(f.main->menus().mnuAlwaysOnTop->isChecked() && f.fake->topmost[f.main.get()]);
    }

    // command | the desktop can start something | what the platform is asked | message
    void helpCommands_data() {
        addRows({"mnuContents|yes|openPath: <res>/KelvaneHelp.html|",
                 "mnuContents|no|openPath: <res>/KelvaneHelp.html|There was an error while "
                 "loading the Help file",
                 "mnuOpenWebsite|yes|openAddress: https://kelvane.org/|",
                 "mnuOpenWebsite|no|openAddress: https://kelvane.org/|There was an error while "
                 "attempting to open this website."});
    }
    void helpCommands() {
        QFETCH(QStringList, row);
        f.fake->openSucceeds = row[1] == "yes";
        for (QAction* item : f.main->menus().mnuHelp->actions())
            if (item->objectName() == row[0])
                item->trigger();
        QCOMPARE(f.fake->calls.filter(QRegularExpression("^open")),
                 QStringList{QString(row[2]).replace("<res>", f.fake->resources)});
        QStringList said;
        for (const auto& box : f.fake->messageBoxes)
            said << box.title + ": " + box.text;
        QCOMPARE(said, row[3].isEmpty() ? QStringList() : QStringList{"Kelvane: " + row[3]});
        QCOMPARE(f.fake->soundsPlayed.last(), f.cue("click"));
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
