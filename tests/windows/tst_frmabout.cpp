// "About Kelvane" and the help commands.
#include "ClientFixture.h"
#include "ui/frmAbout.h"

#include <QtWidgets>

using namespace kelvane;
using namespace kelvane::test;

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
    }
    void cleanup() { f.reset(); }

    // Each value beside its caption, on its line; the licence named. A second "About" brings
    // the same window forward; with the options open too, the band comes back only when the
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

    // The help page and the homepage handed to the desktop, a click heard; a message for each
    // when the desktop cannot open it.
    void helpCommands() {
        for (bool opens : {true, false}) {
            f.fake->openSucceeds = opens;
            f.main->menus().mnuContents->trigger();
            f.main->menus().mnuOpenWebsite->trigger();
        }
        const QStringList asked{"openPath: " + f.fake->resources + "/KelvaneHelp.html",
                                "openAddress: https://kelvane.org/"};
        QCOMPARE(f.fake->calls.filter(QRegularExpression("^open")), asked + asked);
        QCOMPARE(
            f.fake->calls.filter("messageBox: "),
            QStringList({"messageBox: Kelvane: There was an error while loading the Help file",
                         "messageBox: Kelvane: There was an error while attempting to open this "
                         "website."}));
        QCOMPARE(f.fake->soundsPlayed.count(f.cue("click")), 4);
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
