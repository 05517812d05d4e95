// The client on and off the screen: tray clicks, hiding, showing and following the browser,
// on a bare window against the fake platform.
#include "core/AppState.h"
#include "core/SoundCues.h"
#include "platform/fake/FakePlatform.h"
#include "ui/ClientPresence.h"

#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWidget>

using namespace kelvane;

class TestClientPresence : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void trayAndMenus_data() {
        QTest::addColumn<QStringList>("steps"); // tray clicks by code, or the menu commands
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("following");
        QTest::addColumn<bool>("timerOn");
        QTest::addColumn<QString>("cue");
        QTest::newRow("click") << QStringList{"0x0202"} << true << false << true << "";
        QTest::newRow("double-click")
            << QStringList{"0x0203"} << true << false << false << "enlarge";
        QTest::newRow("click, then double-click: shown already, no cue")
            << QStringList{"0x0202", "0x0203"} << true << false << false << "";
        QTest::newRow("a press is no click")
            << QStringList{"0x0201"} << false << true << true << "";
        QTest::newRow("Hide Kelvane") << QStringList{"hide"} << false << false << true << "shrink";
        QTest::newRow("Show Kelvane keeps following")
            << QStringList{"show"} << true << true << true << "enlarge";
    }
    void trayAndMenus() {
        QFETCH(QStringList, steps);
        QFETCH(bool, shown);
        QFETCH(bool, following);
        QFETCH(bool, timerOn);
        QFETCH(QString, cue);
        FakePlatform fake;
        AppState state;
        state.bSynchronizeWithInternetExplorer = true;
        SoundCues cues(fake, "/res");
        QWidget client;
        QMenu tray;
        QTimer timer5;
        timer5.start(100000);
        ClientPresence presence(client, fake, state, cues, &tray, timer5, [] { return true; });
        client.show();
        client.setWindowState(Qt::WindowMinimized); // minimised: off the screen
        QTRY_VERIFY(!client.isVisible());
        for (const QString& step : steps) {
            if (step == "hide" || step == "show") {
                client.show();
                step == "hide" ? presence.mnuHideMe_Click() : presence.mnuTrayRestore_Click();
            } else {
                presence.Form_MouseMove(step.toInt(nullptr, 16));
            }
        }
        QCOMPARE(presence.shown(), shown);
        QCOMPARE(state.bSynchronizeWithInternetExplorer, following);
        QCOMPARE(timer5.isActive(), timerOn);
        QCOMPARE(fake.soundsPlayed,
                 cue.isEmpty() ? QStringList() : QStringList{"/res/res/" + cue + ".wav"});
        QCOMPARE(fake.topmost.value(&client), shown); // back in the band when shown
    }

    // A start by the user holds the client on the screen; following hides it once a browser
    // has come and gone, or once the user has hidden it. Where no tray can bring it back, the
    // first hide by following says how to.
    void followingAfterAStart_data() {
        QTest::addColumn<QStringList>("steps"); // "start", ticks with or without a "browser",
                                                // "minimise", "show" (the tray menu)
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("told"); // notifications
        QTest::newRow("started: stays while no browser has come")
            << QStringList{"start", "tick", "tick"} << false << true << 0;
        QTest::newRow("started: hidden once a browser came and went")
            << QStringList{"start", "browser", "tick"} << true << false << 0;
        QTest::newRow("started, minimised: following hides it again")
            << QStringList{"start", "minimise", "show", "tick"} << true << false << 0;
        QTest::newRow("no tray: told once a run")
            << QStringList{"tick", "show", "tick"} << false << false << 1;
    }
    void followingAfterAStart() {
        QFETCH(QStringList, steps);
        QFETCH(bool, tray);
        QFETCH(bool, shown);
        QFETCH(int, told);
        FakePlatform fake;
        fake.trayShown = tray;
        AppState state;
        state.bSynchronizeWithInternetExplorer = true;
        SoundCues cues(fake, "/res");
        QWidget client;
        QMenu menu;
        QTimer timer5;
        ClientPresence presence(client, fake, state, cues, &menu, timer5, [] { return true; });
        client.show();
        for (const QString& step : steps) {
            fake.browserOpen = step == "browser";
            if (step == "start")
                presence.holdShown();
            else if (step == "show")
                presence.mnuTrayRestore_Click();
            else if (step == "minimise")
                client.setWindowState(Qt::WindowMinimized);
            else
                presence.Timer5_Timer();
            QTest::qWait(1); // what the window system answers
            QTRY_COMPARE(client.isVisible(), step != "minimise" && (step != "tick" || shown));
        }
        QCOMPARE(presence.shown(), shown);
        QCOMPARE(fake.calls.filter("notify: ").size(), told);
    }

    void followingWaitsForTheBrowser_data() {
        QTest::addColumn<QList<int>>("browserAt"); // ms of each tick with a browser; -1: none
        QTest::addColumn<QList<int>>("steps");     // BrowserFollowing::Step of each tick
        using S = BrowserFollowing::Step;
        const int none = int(S::None), show = int(S::Show);
        QTest::newRow("shown 1.2 s after the first tick that saw it")
            << QList<int>{0, 140, 1199, 1200} << QList<int>{none, none, none, show};
        QTest::newRow("the pause starts anew after the browser went")
            << QList<int>{0, -1, 1000, 2199, 2200} << QList<int>{none, none, none, none, show};
    }
    void followingWaitsForTheBrowser() {
        QFETCH(QList<int>, browserAt);
        QFETCH(QList<int>, steps);
        BrowserFollowing following;
        QList<int> got;
        for (int at : browserAt)
            got << int(following.Timer5_Timer(true, false, at >= 0, at >= 0 ? at : 500));
        QCOMPARE(got, steps);
        // Shown: no browser hides, a browser changes nothing; off: nothing at all.
        QCOMPARE(following.Timer5_Timer(true, true, false, 0), BrowserFollowing::Step::Hide);
        QCOMPARE(following.Timer5_Timer(true, true, true, 0), BrowserFollowing::Step::None);
        QCOMPARE(following.Timer5_Timer(false, true, false, 0), BrowserFollowing::Step::None);
    }
};

QTEST_MAIN(TestClientPresence)
#include "tst_clientpresence.moc"
