// Firefox ESR and Chromium drag a local page's pictures onto kelvane: original bytes, right names.
#include "DesktopTools.h"
#include "HttpServer.h"

#include <QStandardPaths>

using namespace kelvane::test;

class TestBrowserDrop : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        if (!onTestDesktop())
            QSKIP("needs the test desktop (scripts/test-desktop.sh)");
    }

    void dropsFromBrowsers_data() {
        QTest::addColumn<QString>("browser");
        QTest::newRow("firefox") << "firefox-esr";
        QTest::newRow("chromium") << "chromium";
    }
    void dropsFromBrowsers() {
        QFETCH(QString, browser);
        if (QStandardPaths::findExecutable(browser).isEmpty())
            QSKIP(qPrintable(browser + " is not installed"));
        // 200 x 250 px each: plain (escaped blank, query), in a link, fetched again (no-store).
        const QByteArray pictures[] = {jpegPicture('a'), jpegPicture('b'), jpegPicture('c')};
        HttpServer server;
        server.route("/page.html", 200, "text/html",
                     "<html><body style='margin:0'>"
                     "<img src='/my%20cat.jpeg?w=200' width=200 height=250>"
                     "<a href='/elsewhere.html'><img src='/linked.jpg' width=200 height=250></a>"
                     "<img src='/nostore.jpg' width=200 height=250></body></html>");
        server.route("/my%20cat.jpeg", 200, "image/jpeg", pictures[0]);
        server.route("/linked.jpg", 200, "image/jpeg", pictures[1]);
        server.route("/elsewhere.html", 200, "text/html", "<html>a page</html>");
        server.route("/nostore.jpg", 200, "image/jpeg", pictures[2], "Cache-Control: no-store\r\n");
        TestHome home;
        const QString pics = home.path() + "/Pics";
        QDir().mkpath(pics);
        // The client at 900, 200 px, Large: the picture 97 px square, the label under it.
        writeFile(home.settingsFile(),
                  previousRun({"alwaysontop=False", "clientsize=LARGE", "overwrite=False",
                               "showsavedimage=True", "windowsfolder=" + home.path(), "left= 13500",
                               "top= 3000", "playconfirmsound=False", "showsavesrrormessage=False",
                               "autoincrementsavedfiles=True", "correctquerystringnames=True"},
                              {pics}));
        KelvaneProcess kelvane(home);
        QVERIFY(!kelvane.startShown({"quiet"}).isEmpty());

        QProcess web;
        web.setProcessEnvironment(home.environment());
        startBrowser(web, browser, server.url("/page.html"), home.path());
        QString window;
        (void)QTest::qWaitFor(
            [&] {
                window = run("xdotool", {"search", "--all", "--onlyvisible", "--pid",
                                         QString::number(web.processId()), "--name", "."})
                             .section('\n', 0, 0);
                return !window.isEmpty() || web.state() == QProcess::NotRunning;
            },
            40000);
        if (window.isEmpty())
            QSKIP(qPrintable(browser + " did not open a window on the test desktop"));
        QTest::qWait(8000); // the page and its pictures loaded, the browser ready for drags
        const QPoint corner = windowPosition(window);

        // Where each is dropped (the picture, the label) and what it is saved as.
        const std::pair<QPoint, QString> drops[] = {
            {{930, 230}, home.path() + "/Desktop/my cat.jpg"},
            {{930, 305}, pics + "/linked.jpg"},
            {{930, 230}, home.path() + "/Desktop/nostore.jpg"}};
        for (int i = 0; i < 3; ++i) {
            const auto& [target, file] = drops[i];
            // Below the browser's own bars, whatever their height.
            QVERIFY(dragFromBrowser(corner + QPoint(100 + 200 * i, 300), target));
            const auto saved = [&] { return readBytes(file); };
            (void)QTest::qWaitFor([&] { return saved().size() == pictures[i].size(); }, 20000);
            const QString screenshot = QDir::tempPath() + "/browserdrop-" + browser + ".png";
            if (saved() != pictures[i])
                run("import", {"-window", "root", screenshot});
            QVERIFY2(saved() == pictures[i], qPrintable(file + ", see " + screenshot));
        }
        web.kill();
        web.waitForFinished();
        QVERIFY(kelvane.terminate());
    }
};

QTEST_MAIN(TestBrowserDrop)
#include "tst_browserdrop.moc"
