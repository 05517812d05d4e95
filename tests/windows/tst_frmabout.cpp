// "About Kelvane" and the help commands: version and build, one window brought forward, the
// band while it is open; the help page and the homepage handed to the desktop.
#include "ClientFixture.h"
#include "ui/frmAbout.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

using namespace kelvane;
using namespace kelvane::test;

struct HelpRow {
    QString command, asked; // what the platform is asked (<res>: the resource folder)
    bool opens;             // the desktop can open it
    QString said;
};
Q_DECLARE_METATYPE(HelpRow)

class TestFrmAbout : public QObject {
    Q_OBJECT

    ClientFixture f;

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
    bool inTheBand() const {
        return f.main->menus().mnuAlwaysOnTop->isChecked() && f.fake->topmost[f.main.get()];
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

    // Each value beside its caption, on its line; the licence named; a second "About" brings
    // the same window forward; with the options open too the band comes back only when the
    // last one goes.
    void versionAndBuild() {
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
    }

    void helpCommands_data() {
        QTest::addColumn<HelpRow>("row");
        const QString help = "openPath: <res>/KelvaneHelp.html";
        QTest::newRow("help") << HelpRow{"mnuContents", help, true, ""};
        QTest::newRow("help, no browser") << HelpRow{
            "mnuContents", help, false, "There was an error while loading the Help file"};
        QTest::newRow("homepage, no browser")
            << HelpRow{"mnuOpenWebsite", "openAddress: https://kelvane.org/", false,
                       "There was an error while attempting to open this website."};
    }
    void helpCommands() {
        QFETCH(HelpRow, row);
        f.fake->openSucceeds = row.opens;
        f.main->findChild<QAction*>(row.command)->trigger();
        QCOMPARE(f.fake->calls.filter(QRegularExpression("^open")),
                 QStringList{row.asked.replace("<res>", f.fake->resources)});
        QStringList shown;
        for (const auto& box : f.fake->messageBoxes)
            shown << box.title + ": " + box.text;
        QCOMPARE(shown, row.opens ? QStringList() : QStringList{"Kelvane: " + row.said});
        QCOMPARE(f.fake->soundsPlayed.last(), f.cue("click"));
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
