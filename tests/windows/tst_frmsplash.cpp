// The splash window: its texts, its thin border, and the order of the hand-over.
#include "ClientFixture.h"
#include "history/frmHistory.h"

#include <QLabel>

using namespace kelvane;
using namespace kelvane::test;

class TestFrmSplash : public QObject {
    Q_OBJECT

    ClientFixture f;

private Q_SLOTS:
    void init() { f.reset(); }
    void cleanup() { f.reset(); }

    // Client shown, splash gone before the greeting; the history window too, if open at the end.
    void handOverOrder() {
        frmMain& w = f.load({"showhistory=True"});
        frmSplash* splash = w.splash();
        QVERIFY(splash->isVisible() && !w.isVisible());
        QCOMPARE(splash->Label5->text(), "Version 1.1");
        QCOMPARE(splash->Label2->text(), "Build Number: 24");
        QCOMPARE(splash->Label5->font().pointSizeF(), 9.75);
        QCOMPARE(splash->Label4->font().pointSizeF(), 14.25);
        // A border: the picture leaves one pixel of the window's own colour all round.
        QCOMPARE(splash->findChild<QLabel*>("picture")->geometry(),
                 splash->rect().adjusted(1, 1, -1, -1));
        QStringList atHello;
        f.fake->whileSoundPlays = [&](const QString& wav) {
            if (wav.endsWith("hello.wav"))
                atHello << (w.isVisible() ? "client shown" : "client hidden")
                        << (splash->isVisible() ? "splash shown" : "splash gone")
                        << (w.history()->isVisible() ? "history shown" : "history not shown");
        };
        splash->setSplashDuration(1);
        QTRY_VERIFY(!atHello.isEmpty());
        QCOMPARE(atHello, QStringList({"client shown", "splash gone", "history shown"}));
        QVERIFY(!w.state().bStartupInProgress);
    }
};

QTEST_MAIN(TestFrmSplash)
#include "tst_frmsplash.moc"
