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

    // The last row of a label's place on which its text leaves a dark pixel: the baseline of
    // a text without descenders.
    static int baseline(const QImage& drawn, const QWidget* label) {
        const QRect place = label->geometry();
        for (int y = place.bottom(); y >= place.top(); --y)
            for (int x = place.left(); x <= place.right(); ++x)
                if (qGray(drawn.pixel(x, y)) < 128)
                    return y;
        return -1;
    }

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
        // Each value beside its caption, whatever the font, its letters on the caption's line;
        // the licence named.
        QVERIFY(about->Label8->x() > about->Label1->geometry().right());
        QVERIFY(about->Label9->x() > about->Label2->geometry().right());
        const QImage drawn = about->grab().toImage();
        QCOMPARE(baseline(drawn, about->Label8), baseline(drawn, about->Label1));
        QCOMPARE(baseline(drawn, about->Label9), baseline(drawn, about->Label2));
        QVERIFY(about->Label10->isVisible());
        QCOMPARE(about->Label10->text(), "Kelvane is free software under the GNU General Public "
                                         "License, version 3 or later.");
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

    // A command, whether the desktop can open what it is given, what the platform is asked
    // (<res> the resource folder), and the message when it cannot.
    void helpCommands_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("said");
        const QString help = "openPath: <res>/KelvaneHelp.html";
        const QString site = "openAddress: https://kelvane.org/";
        QTest::newRow("help") << "mnuContents" << true << help << "";
        QTest::newRow("help, no browser")
            << "mnuContents" << false << help << "There was an error while loading the Help file";
        QTest::newRow("homepage") << "mnuOpenWebsite" << true << site << "";
        QTest::newRow("homepage, no browser")
            << "mnuOpenWebsite" << false << site
            << "There was an error while attempting to open this website.";
    }
    void helpCommands() {
        QFETCH(QString, command);
        QFETCH(bool, opens);
        QFETCH(QString, asked);
        QFETCH(QString, said);
        f.fake->openSucceeds = opens;
        for (QAction* item : f.main->menus().mnuHelp->actions())
            if (item->objectName() == command)
                item->trigger();
        QCOMPARE(f.fake->calls.filter(QRegularExpression("^open")),
                 QStringList{asked.replace("<res>", f.fake->resources)});
        QStringList shown;
        for (const auto& box : f.fake->messageBoxes)
            shown << box.title + ": " + box.text;
        QCOMPARE(shown, said.isEmpty() ? QStringList() : QStringList{"Kelvane: " + said});
        QCOMPARE(f.fake->soundsPlayed.last(), f.cue("click"));
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
